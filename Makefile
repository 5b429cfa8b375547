# Dravik: one-command entry points. `make test` is what CI runs.
.PHONY: all deps build test test-default test-asan test-tsan test-windows run clean

all: build

deps:
	@bash scripts/install-deps.sh

build: deps
	cmake --preset default
	cmake --build --preset default

# Every suite: the normal build, the address/undefined sanitizer build, the thread sanitizer
# build and the Windows cross build under Wine.
test: test-default test-asan test-tsan test-windows

test-default: build
	ctest --preset default

test-asan: deps
	cmake --preset asan
	cmake --build --preset asan
	ctest --preset asan

test-tsan: deps
	cmake --preset tsan
	cmake --build --preset tsan
	ctest --preset tsan

test-windows: deps
	@if [ -f cmake/mingw-w64-x86_64.cmake ]; then \
	    bash scripts/test-windows.sh; \
	else \
	    echo "Windows cross build not set up; skipped"; \
	fi

# Starts a simulator with two 4-axis boards and opens TestDravik against it.
run: build
	bash scripts/run-console.sh

clean:
	rm -rf build
