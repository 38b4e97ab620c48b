# The front door: `make run` builds and starts the program, `make test`
# builds it and runs the whole test suite. Missing tools are installed with
# apt-get when run as root; otherwise the command to run is printed.

BUILD ?= build
CMAKE_FLAGS ?=

# Each prerequisite is "what:package", where what is a command or a file.
RUN_NEEDS := cmake:cmake c++:g++
TEST_NEEDS := $(RUN_NEEDS) /usr/include/gtest/gtest.h:libgtest-dev

define ensure
	@missing=""; \
	for need in $(1); do \
	  what=$${need%%:*}; package=$${need#*:}; \
	  case $$what in \
	    /*) test -e "$$what" ;; \
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

.PHONY: run test configure clean

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

clean:
	rm -rf $(BUILD)
