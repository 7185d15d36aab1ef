// The C++ run-time's failure paths, for the product exe.
//
// tolvane.exe is built without exceptions (cmake/windows.cmake): the unwinder,
// the exception objects and the thread library beneath them would make up
// most of the exe.  Nothing in the launcher catches an exception, so every
// one that the library would throw ends the process through std::terminate.
// That ending is kept here: where the library would throw, these functions
// write what the exception's what() would say, in the line the terminate
// handler of the exceptions build wrote, and abort().
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <string>

// The members of std::string come from here, compiled like the rest of the
// exe, and not from the library's own copy: its unwind tables would bring the
// exception run-time back into the link.
template class std::basic_string<char>;

namespace {

const char* const kTerminated = "tolvane: terminated by an unhandled exception: ";

[[noreturn]] void terminateWith(const char* what) {
    std::fputs(kTerminated, stderr);
    std::fputs(what, stderr);
    std::fputs("\n", stderr);
    std::abort();
}

void writeDecimal(std::size_t value) {
    char digits[3 * sizeof value];
    char* p = digits + sizeof digits;
    *--p = '\0';
    do {
        *--p = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value != 0);
    std::fputs(p, stderr);
}

}  // namespace

// The library's operator new, with the end of the process where it throws.
void* operator new(std::size_t size) {
    if (size == 0) size = 1;
    void* block;
    while ((block = std::malloc(size)) == nullptr) {
        const std::new_handler handler = std::get_new_handler();
        if (handler == nullptr) std::__throw_bad_alloc();
        handler();
    }
    return block;
}

// What the library's own versions of these throw, by what() of the
// exception: the fixed texts of std::bad_alloc and the like, otherwise the
// text handed over.
namespace std {

void __throw_bad_alloc() { terminateWith("std::bad_alloc"); }
void __throw_bad_array_new_length() { terminateWith("std::bad_array_new_length"); }
void __throw_logic_error(const char* what) { terminateWith(what); }
void __throw_length_error(const char* what) { terminateWith(what); }
void __throw_out_of_range(const char* what) { terminateWith(what); }
void __throw_invalid_argument(const char* what) { terminateWith(what); }

// The library formats these texts itself, knowing only %s, %zu and %%; any
// other '%' stands for itself.
void __throw_out_of_range_fmt(const char* format, ...) {
    std::va_list arguments;
    va_start(arguments, format);
    std::fputs(kTerminated, stderr);
    for (const char* p = format; *p != '\0'; ++p) {
        if (p[0] == '%' && p[1] == 's') {
            std::fputs(va_arg(arguments, const char*), stderr);
            ++p;
        } else if (p[0] == '%' && p[1] == 'z' && p[2] == 'u') {
            writeDecimal(va_arg(arguments, std::size_t));
            p += 2;
        } else {
            if (p[0] == '%' && p[1] == '%') ++p;
            std::fputc(*p, stderr);
        }
    }
    va_end(arguments);
    std::fputs("\n", stderr);
    std::abort();
}

}  // namespace std
