# The two everyday commands: `make run` and `make test`. Both install what is
# missing, configure and build first, so a fresh clone needs nothing else.
# `make install [PREFIX=/usr/local] [DESTDIR=...]` and `make deb` build an
# optimised copy in build-release/ for installing and packaging.
.PHONY: run test bench fuzz build deps clean install deb release

PREFIX ?= /usr/local

deps:
	scripts/install-deps

build: deps
	cmake --preset default
	cmake --build --preset default

run: build
	./build/bin/orvale-organizer

test: build
	ctest --preset default

bench: deps
	cmake --preset bench
	cmake --build --preset bench
	scripts/run-bench build-bench/bin

# Each file reader under libFuzzer for FUZZ_SECONDS (10 minutes unless set);
# an input that finds a fault is saved in tests/fuzz/regressions/.
FUZZ_SECONDS ?= 600
fuzz: deps
	cmake --preset fuzz
	cmake --build --preset fuzz
	scripts/run-fuzz build-fuzz $(FUZZ_SECONDS)

release: deps
	cmake --preset release -DCMAKE_INSTALL_PREFIX=$(PREFIX)
	cmake --build --preset release

install: release
	cmake --install build-release

# The package installs below /usr, whatever PREFIX says.
deb: PREFIX = /usr
deb: release
	rm -f build-release/orvale-organizer_*.deb
	cd build-release && cpack -G DEB
	cp build-release/orvale-organizer_*.deb .

clean:
	rm -rf build build-bench build-release build-fuzz orvale-organizer_*.deb
