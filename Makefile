# The two commands a new user needs: `make run` and `make test`. Both install what is missing first.
PRESET ?= default

BUILD_DIR := $(if $(filter default,$(PRESET)),build,build-$(PRESET))

.PHONY: deps build test run asan bench clean fuzz lint valgrind package test-windows package-windows

deps:
	@scripts/install-deps

build: deps
	cmake --preset $(PRESET)
	cmake --build --preset $(PRESET)

run: build
	$(BUILD_DIR)/app/vuelco

test: build
	cmake --build --preset $(PRESET) --target bench-programs
	ctest --preset $(PRESET)

bench: build
	cmake --build --preset $(PRESET) --target bench

# The release package of this platform: on Debian build/vuelco_<version>_amd64.deb.
package: build
	@scripts/install-deps --package
	cmake --build --preset $(PRESET) --target package

# The whole program and its tests cross-built for 64-bit Windows, the tests run under Wine.
test-windows:
	@scripts/install-deps --windows
	scripts/prepare-windows
	cmake --preset windows
	cmake --build --preset windows
	scripts/test-windows

# The Windows installer and the portable zip, from the same cross build:
# build-windows/Vuelco-<version>-win64-setup.exe and build-windows/Vuelco-<version>-win64.zip.
package-windows:
	@scripts/install-deps --windows
	scripts/prepare-windows
	cmake --preset windows
	cmake --build --preset windows --target package

asan:
	@$(MAKE) --no-print-directory test PRESET=asan

# Each libFuzzer target for FUZZ_SECONDS (CI: make fuzz FUZZ_SECONDS=15).
FUZZ_SECONDS ?= 60
fuzz: deps
	tests/fuzz/run $(FUZZ_SECONDS)

# clang-tidy (.clang-tidy) and cppcheck over every file of compile_commands.json: the full
# build's (Qt included) when it has been built, else the Qt-free one, configured here.
# cppcheck's unusedStructMember is off: test-parameter structs are read only through
# GoogleTest, where it cannot see them.
LINT_BUILD ?= $(if $(wildcard build/compile_commands.json),build,build-core)
LINT_FILES = '$(CURDIR)/(core|runtime|words|batch|forms|cli|file_chooser|collection_window|main_window|app|packaging|tests)/'
lint: deps
	@test -f $(LINT_BUILD)/compile_commands.json || cmake --preset core
	cmake --build $(LINT_BUILD) -j2
	run-clang-tidy -quiet -j2 -p $(LINT_BUILD) $(LINT_FILES) > $(LINT_BUILD)/clang-tidy.log 2>&1 \
	  || { grep -E 'warning:|error:' -A3 $(LINT_BUILD)/clang-tidy.log; exit 1; }
	cppcheck --project=$(LINT_BUILD)/compile_commands.json --library=googletest --library=posix --library=qt \
	  --enable=warning,style,performance,portability --std=c++20 --inline-suppr --quiet \
	  --suppress=missingIncludeSystem --suppress=unusedStructMember --suppress='*:$(CURDIR)/$(LINT_BUILD)/*' --suppress='*:$(LINT_BUILD)/*' --error-exitcode=1

# The Qt-free tests under valgrind memcheck: any error or leak fails.
VALGRIND = valgrind --quiet --error-exitcode=1 --leak-check=full --errors-for-leak-kinds=definite,indirect \
  --child-silent-after-fork=yes
valgrind: deps
	cmake --preset core
	cmake --build build-core -j2
	@set -e; for test in $$(find build-core/tests -type f -executable -name '*_test' | sort); do \
	  echo "== $$test"; $(VALGRIND) $$test --gtest_brief=1; done

clean:
	rm -rf build build-*
