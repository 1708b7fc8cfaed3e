# One entry point for people and CI.
#   make test   installs what is missing, builds Linux, Linux+sanitizers and Windows, runs every suite
#   make demo   runs the demonstration against the terminal simulator
JOBS ?= $(shell nproc)
WINEPREFIX_DIR := $(CURDIR)/build-win32/wineprefix
WINE_ENV := VXPA_WINEPREFIX=$(WINEPREFIX_DIR) WINEPREFIX=$(WINEPREFIX_DIR) WINEARCH=win32 WINEDEBUG=-all WINEDLLOVERRIDES=mscoree,mshtml=

.PHONY: all setup sim build build-asan build-win32 test test-linux test-asan test-win32 bench demo fuzz clean

all: build

setup:
	@bash scripts/setup.sh

build: setup
	cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build build -j $(JOBS)

build-asan:
	cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVXPA_SANITIZE=ON
	cmake --build build-asan -j $(JOBS)

build-win32:
	cmake -S . -B build-win32 -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/cmake/mingw-w64-i686.cmake \
	  -DVXPA_TERMINAL_SIM=$(CURDIR)/build/terminal-sim
	cmake --build build-win32 -j $(JOBS)

test-linux: build
	cd build && ctest --output-on-failure -j $(JOBS)

test-asan: build-asan
	cd build-asan && ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
	  ctest --output-on-failure -j $(JOBS)

# The Linux terminal simulator, which the Windows end-to-end tests talk to (wine cannot start it).
sim:
	cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build build -j $(JOBS) --target terminal-sim

# A persistent wine server for the run: without it every test waits on wine's services.
test-win32: sim build-win32
	mkdir -p $(WINEPREFIX_DIR)
	$(WINE_ENV) wineserver -p 300
	$(WINE_ENV) wine cmd /c exit >/dev/null 2>&1 || true
	cd build-win32 && $(WINE_ENV) ctest --output-on-failure -j $(JOBS); rc=$$?; \
	  $(WINE_ENV) wineserver -k >/dev/null 2>&1 || true; exit $$rc

test: setup
	$(MAKE) test-linux
	$(MAKE) test-asan
	$(MAKE) test-win32

bench: build
	cmake --build build --target benchmarks
	@for b in build/bench_*; do echo "== $$b"; $$b; done

# A fuzzer for FUZZ_SECONDS (clang, libFuzzer, address and undefined-behaviour sanitizers):
# FUZZ_TARGET=requests (the exports' request documents, the default) or answers (what the
# terminal sends back). New inputs go to build-fuzz/corpus-TARGET, findings to build-fuzz/; the
# checked-in seeds (fuzz/corpus, fuzz/answers) are replayed by the regular tests.
FUZZ_SECONDS ?= 600
FUZZ_TARGET ?= requests
FUZZ_SEEDS_requests := -dict=fuzz/requests.dict fuzz/corpus
FUZZ_SEEDS_answers := fuzz/answers
fuzz:
	cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DVXPA_FUZZ=ON
	cmake --build build-fuzz -j $(JOBS) --target fuzz_$(FUZZ_TARGET)
	mkdir -p build-fuzz/corpus-$(FUZZ_TARGET)
	build-fuzz/fuzz_$(FUZZ_TARGET) -max_total_time=$(FUZZ_SECONDS) -print_final_stats=1 \
	  -artifact_prefix=build-fuzz/ build-fuzz/corpus-$(FUZZ_TARGET) $(FUZZ_SEEDS_$(FUZZ_TARGET))

# The demonstration: a day at a shop's till against the terminal simulator (builds Linux only).
demo:
	@bash scripts/demo.sh

clean:
	rm -rf build build-asan build-win32 build-fuzz
