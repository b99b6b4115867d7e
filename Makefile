# The two everyday commands: `make run` and `make test`. Both install what is
# missing, configure and build first, so a fresh clone needs nothing else.
.PHONY: run test bench build deps clean

deps:
	scripts/install-deps

build: deps
	cmake --preset default
	cmake --build --preset default

run: build
	./build/bin/organizer

test: build
	ctest --preset default

bench: deps
	cmake --preset bench
	cmake --build --preset bench
	scripts/run-bench build-bench/bin

clean:
	rm -rf build build-bench
