# The two everyday commands: `make run` starts Kovan, `make test` runs every
# test. Both install what is missing on a fresh Debian machine first.
.PHONY: setup build native win64 fuzz test run bench dist clean

setup:
	@bash tools/setup.sh

native: setup
	cmake --preset native
	cmake --build --preset native

win64: setup
	cmake --preset win64
	cmake --build --preset win64

fuzz: setup
	cmake --preset fuzz
	cmake --build --preset fuzz

build: native win64

test: setup
	bash tools/test.sh

run: win64
	bash tools/run.sh

bench: native
	build/native/bin/kovan_bench

# The release: installer, portable zip and SHA256SUMS in dist/.
dist: setup
	cmake --preset win64-release
	cmake --build --preset win64-release

clean:
	rm -rf build dist
