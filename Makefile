# The front door: `make run` builds and starts the program, `make test`
# builds it and runs the whole test suite, `make install PREFIX=...` installs
# it. `make test-sanitize`, `make lint` and `make fuzz` prove more, and
# `make bench` measures it (see the README). Missing tools are installed
# with apt-get when run as root; otherwise the command to run is printed.

BUILD ?= build
CMAKE_FLAGS ?=
FUZZ_SECONDS ?= 60
BENCH_RUNS ?= 300
PREFIX ?= /usr/local

# Each prerequisite is "what:package", where what is a command or a file
# (a pattern may stand for the file).
RUN_NEEDS := cmake:cmake c++:g++
TEST_NEEDS := $(RUN_NEEDS) /usr/include/gtest/gtest.h:libgtest-dev \
  valgrind:valgrind groff:groff-base
CLANG_NEEDS := clang++:clang \
  /usr/lib/llvm-*/lib/clang/*/lib/linux/libclang_rt.fuzzer-x86_64.a:libclang-rt-14-dev
SANITIZE_NEEDS := $(TEST_NEEDS) $(CLANG_NEEDS)
FUZZ_NEEDS := cmake:cmake $(CLANG_NEEDS)
BENCH_NEEDS := $(RUN_NEEDS) cc:gcc valgrind:valgrind
LINT_NEEDS := $(TEST_NEEDS) clang++:clang clang-tidy:clang-tidy \
  clang-format:clang-format cppcheck:cppcheck

SOURCES := $(wildcard src/*.cpp tests/*.cpp fuzz/*.cpp bench/*.cpp bench/*.c)
HEADERS := $(wildcard src/*.hpp tests/*.hpp fuzz/*.hpp)

define ensure
	@missing=""; \
	for need in $(1); do \
	  what=$${need%%:*}; package=$${need#*:}; \
	  case $$what in \
	    /*) ls $$what >/dev/null 2>&1 ;; \
	    *) command -v "$$what" >/dev/null 2>&1 ;; \
	  esac || missing="$$missing $$package"; \
	done; \
	if [ -n "$$missing" ]; then \
	  if [ "$$(id -u)" = 0 ]; then \
	    echo "Installing:$$missing"; \
	    apt-get update -q && \
	    DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends $$missing || exit 1; \
	  else \
	    echo "Missing:$$missing. Install with:"; \
	    echo "  sudo apt-get update && sudo apt-get install -y$$missing"; \
	    exit 1; \
	  fi; \
	fi
endef

.PHONY: run test test-sanitize lint fuzz bench install configure clean

configure:
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release $(CMAKE_FLAGS)

run:
	$(call ensure,$(RUN_NEEDS))
	@$(MAKE) --no-print-directory configure >/dev/null
	@cmake --build $(BUILD) --target bracket-check >/dev/null
	@./$(BUILD)/bracket-check

test:
	$(call ensure,$(TEST_NEEDS))
	@$(MAKE) --no-print-directory configure
	cmake --build $(BUILD) --parallel
	ctest --test-dir $(BUILD) --output-on-failure --parallel $$(nproc)

# The whole suite again, built by clang with AddressSanitizer and
# UndefinedBehaviorSanitizer; the first finding fails it.
test-sanitize:
	$(call ensure,$(SANITIZE_NEEDS))
	cmake -S . -B build-sanitize -DCMAKE_CXX_COMPILER=clang++ \
	  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBRACKET_CHECK_SANITIZE=ON $(CMAKE_FLAGS)
	cmake --build build-sanitize --parallel
	ctest --test-dir build-sanitize --output-on-failure --parallel $$(nproc)

# clang-tidy, cppcheck and the formatting; any finding fails.
lint:
	$(call ensure,$(LINT_NEEDS))
	cmake -S . -B build-lint -DCMAKE_CXX_COMPILER=clang++ \
	  -DBRACKET_CHECK_FUZZ=ON -DBRACKET_CHECK_BENCH=ON \
	  -DCMAKE_EXPORT_COMPILE_COMMANDS=ON >/dev/null
	printf '%s\n' $(SOURCES) | xargs -P $$(nproc) -n 1 clang-tidy -p build-lint --quiet
	cppcheck --std=c++20 --enable=warning,style,performance,portability \
	  --library=googletest --library=posix -D__linux__ --inline-suppr \
	  --error-exitcode=1 --quiet -I src -I tests -I fuzz src tests fuzz bench
	clang-format --dry-run --Werror $(SOURCES) $(HEADERS)

# Every libFuzzer target for FUZZ_SECONDS seconds.
fuzz:
	$(call ensure,$(FUZZ_NEEDS))
	cmake -S . -B build-fuzz -DCMAKE_CXX_COMPILER=clang++ \
	  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=OFF \
	  -DBRACKET_CHECK_FUZZ=ON $(CMAKE_FLAGS) >/dev/null
	cmake --build build-fuzz --parallel
	sh fuzz/run.sh build-fuzz $(FUZZ_SECONDS)

# The program against a plain C floor program, dynamic and static builds.
bench:
	$(call ensure,$(BENCH_NEEDS))
	@for kind in dynamic static; do \
	  static=OFF; [ $$kind = static ] && static=ON; \
	  cmake -S . -B build-bench-$$kind -DCMAKE_BUILD_TYPE=Release \
	    -DBUILD_TESTING=OFF -DBRACKET_CHECK_BENCH=ON \
	    -DBRACKET_CHECK_STATIC=$$static $(CMAKE_FLAGS) >/dev/null && \
	  cmake --build build-bench-$$kind --parallel >/dev/null || exit 1; \
	done
	@echo "$$(c++ --version | head -n 1); $$(cc --version | head -n 1); -O3"
	@sh tests/binary.sh build-bench-dynamic/bracket-check && \
	  echo "binary: no shared library but libc, nothing run before or after main"
	@for kind in dynamic static; do \
	  echo; echo "== $$kind build"; \
	  build-bench-$$kind/bench/bench build-bench-$$kind/bracket-check \
	    build-bench-$$kind/bench/floor $(BENCH_RUNS) || exit 1; \
	done

install:
	$(call ensure,$(RUN_NEEDS))
	@$(MAKE) --no-print-directory configure >/dev/null
	cmake --build $(BUILD) --target bracket-check
	cmake --install $(BUILD) --prefix $(PREFIX)

clean:
	rm -rf $(BUILD) build-sanitize build-lint build-fuzz build-bench-*
