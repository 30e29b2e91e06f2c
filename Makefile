# The two commands a new user needs: `make run` and `make test`. Both install what is missing first.
PRESET ?= default

BUILD_DIR := $(if $(filter default,$(PRESET)),build,build-$(PRESET))

.PHONY: deps build test run asan bench clean

deps:
	@scripts/install-deps

build: deps
	cmake --preset $(PRESET)
	cmake --build --preset $(PRESET)

run: build
	$(BUILD_DIR)/app/vuelco

test: build
	ctest --preset $(PRESET)

bench: build
	cmake --build --preset $(PRESET) --target bench

asan:
	@$(MAKE) --no-print-directory test PRESET=asan

clean:
	rm -rf build build-*
