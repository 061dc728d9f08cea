# Thin wrapper over the CMake presets. `make demo` and `make test` do all set-up.
.PHONY: deps demo test fuzz bench install clean

deps:
	@./scripts/install-deps.sh

demo: deps
	@cmake --preset release >/dev/null
	@cmake --build --preset release
	@./scripts/demo.sh build/release

test: deps
	cmake --preset dev
	cmake --build --preset dev
	ctest --preset dev
	cmake --preset asan
	cmake --build --preset asan
	ctest --preset asan
	cmake --preset clang
	cmake --build --preset clang
	ctest --preset clang
	cmake --preset tsan
	cmake --build --preset tsan
	ctest --preset tsan
	cmake --preset fuzz
	cmake --build --preset fuzz
	ctest --preset fuzz
	cmake --preset windows
	cmake --build --preset windows
	ctest --preset windows

# Every fuzz target for FUZZ_SECONDS (default 60) each.
fuzz: deps
	@./scripts/fuzz.sh

bench: deps
	@cmake --preset bench >/dev/null
	@cmake --build --preset bench --target run-bench

# `make install TARGET=windows` installs the Windows modules instead (see vst3/, vst2/).
INSTALL_PRESET := $(if $(filter windows,$(TARGET)),windows,release)
install: deps
	@cmake --preset $(INSTALL_PRESET) >/dev/null
	@cmake --build --preset $(INSTALL_PRESET)
	cmake --install build/$(INSTALL_PRESET) $(if $(PREFIX),--prefix $(PREFIX),)

clean:
	rm -rf build out
