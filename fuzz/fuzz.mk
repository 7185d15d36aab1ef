# Builds the libFuzzer targets; run through fuzz/run.sh from the repo root:
#   make -f fuzz/fuzz.mk OUT=build/fuzz
OUT ?= build/fuzz
CXX := $(shell command -v clang++-14 || command -v clang++)
SAN := -fsanitize=address,undefined -fno-sanitize-recover=all
CXXFLAGS := -std=c++17 -g -O1 -Wall -Wextra -Werror $(SAN) -Isrc -MMD -MP

TARGETS := tokenizer markers versions regfile script

# The launcher's code and the fake platform, shared by every target.
SOURCES := src/startup/startup.cpp src/intake/tokenizer.cpp src/intake/launcher.cpp src/intake/watcher.cpp \
    src/resources/resources.cpp src/commands/execution.cpp src/commands/options.cpp \
    src/markers/markers.cpp src/runtime/versions.cpp src/runtime/registry_lookup.cpp \
    src/runtime/selection.cpp src/platform/regfile.cpp src/platform/platform_fake.cpp
OBJECTS := $(SOURCES:%.cpp=$(OUT)/obj/%.o)

all: $(TARGETS:%=$(OUT)/%)

$(OUT)/obj/%.o: %.cpp
	@mkdir -p $(dir $@)
	$(CXX) $(CXXFLAGS) -fsanitize=fuzzer-no-link -c $< -o $@

$(OUT)/%: $(OUT)/obj/fuzz/%_fuzz.o $(OBJECTS)
	$(CXX) $(SAN) -fsanitize=fuzzer $^ -o $@

-include $(OBJECTS:.o=.d) $(TARGETS:%=$(OUT)/obj/fuzz/%_fuzz.d)

.PHONY: all
.SECONDARY:
