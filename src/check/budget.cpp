// The checker's memory budget.  A script can make the launcher's texts
// grow without end (a text defined from itself twice doubles at every such
// word); the checker's every allocation is counted, and one that would take
// it past the budget fails as exhausted memory does, with std::bad_alloc,
// which the checker reports and survives.
#include <cstddef>
#include <cstdlib>
#include <new>

namespace {

constexpr std::size_t kBudget = std::size_t{256} << 20;
// Room for the size in front of each block, keeping the block aligned.
constexpr std::size_t kHeader = alignof(std::max_align_t) > sizeof(std::size_t) ? alignof(std::max_align_t)
                                                                                 : sizeof(std::size_t);

std::size_t gInUse = 0;  // the checker runs on one thread

void* allocate(std::size_t size) noexcept {
    if (size > kBudget - gInUse || size > kBudget - kHeader) return nullptr;
    void* block = std::malloc(size + kHeader);
    if (block == nullptr) return nullptr;
    *static_cast<std::size_t*>(block) = size;
    gInUse += size;
    return static_cast<char*>(block) + kHeader;
}

void release(void* pointer) noexcept {
    if (pointer == nullptr) return;
    void* block = static_cast<char*>(pointer) - kHeader;
    gInUse -= *static_cast<std::size_t*>(block);
    std::free(block);
}

}  // namespace

void* operator new(std::size_t size) {
    if (void* p = allocate(size == 0 ? 1 : size)) return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size) { return operator new(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return allocate(size == 0 ? 1 : size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return allocate(size == 0 ? 1 : size); }
void operator delete(void* p) noexcept { release(p); }
void operator delete[](void* p) noexcept { release(p); }
void operator delete(void* p, std::size_t) noexcept { release(p); }
void operator delete[](void* p, std::size_t) noexcept { release(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { release(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { release(p); }
