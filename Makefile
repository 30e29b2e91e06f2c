# The two commands a new user needs: `make run` and `make test`. Both install what is missing first.
PRESET ?= default

.PHONY: deps build test run asan bench clean

deps:
	@scripts/install-deps

build: deps
	cmake --preset $(PRESET)
	cmake --build --preset $(PRESET)

test: build
	ctest --preset $(PRESET)

bench: build
	cmake --build --preset $(PRESET) --target bench

asan:
	@$(MAKE) --no-print-directory test PRESET=asan

clean:
	rm -rf build build-*
