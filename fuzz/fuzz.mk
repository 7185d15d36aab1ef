# Builds the libFuzzer targets; run through fuzz/run.sh from the repo root:
#   make -f fuzz/fuzz.mk OUT=build/fuzz
OUT ?= build/fuzz
CXX := $(shell command -v clang++-14 || command -v clang++)
SAN := -fsanitize=address,undefined -fno-sanitize-recover=all
CXXFLAGS := -std=c++17 -g -O1 -Wall -Wextra -Werror $(SAN) -Isrc -MMD -MP

TARGETS := tokenizer markers versions regfile script check

# The launcher's code and the fake platform, shared by every target.
CORE := src/startup/startup.cpp src/intake/tokenizer.cpp src/intake/launcher.cpp src/intake/watcher.cpp \
    src/resources/resources.cpp src/commands/execution.cpp src/commands/options.cpp \
    src/markers/markers.cpp src/runtime/versions.cpp src/runtime/registry_lookup.cpp \
    src/runtime/selection.cpp src/platform/regfile.cpp
SOURCES := $(CORE) src/platform/platform_fake.cpp
OBJECTS := $(SOURCES:%.cpp=$(OUT)/obj/%.o)
# The checker runs the same code on its own platform, within its memory budget.
CHECK_SOURCES := $(CORE) src/platform/platform_simulated.cpp src/check/checker.cpp src/check/report.cpp \
    src/check/budget.cpp
CHECK_OBJECTS := $(CHECK_SOURCES:%.cpp=$(OUT)/obj/%.o)

all: $(TARGETS:%=$(OUT)/%)

$(OUT)/check: $(OUT)/obj/fuzz/check_fuzz.o $(CHECK_OBJECTS)
	$(CXX) $(SAN) -fsanitize=fuzzer $^ -o $@

$(OUT)/obj/%.o: %.cpp
	@mkdir -p $(dir $@)
	$(CXX) $(CXXFLAGS) -fsanitize=fuzzer-no-link -c $< -o $@

$(OUT)/%: $(OUT)/obj/fuzz/%_fuzz.o $(OBJECTS)
	$(CXX) $(SAN) -fsanitize=fuzzer $^ -o $@

-include $(OBJECTS:.o=.d) $(CHECK_OBJECTS:.o=.d) $(TARGETS:%=$(OUT)/obj/fuzz/%_fuzz.d)

.PHONY: all
.SECONDARY:
