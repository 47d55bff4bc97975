# Builds: build/ is the Release engine, build-test/ the tests with asserts on.
JOBS ?= $(shell nproc 2>/dev/null || echo 2)

.PHONY: all build profile-build run test sanitize bench fuzz fuzz-run install uninstall deb clean

all: build

# build/ is compiled with a profile of the engine's own search (tools/profile-build), which
# makes it about a tenth faster; where profiling fails it is a plain Release build.
# PROFILE=no builds the plain one at once.
PROFILE ?= yes
build:
ifeq ($(PROFILE),no)
	cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DMOSSKITE_LTO=ON -DMOSSKITE_PGO=
	cmake --build build -j $(JOBS)
else
	tools/profile-build $(JOBS)
endif

# The profiled build trained anew, failing instead of falling back to a plain build.
profile-build:
	tools/profile-build --strict $(JOBS)

run: build
	./build/mosskite

test:
	cmake -S . -B build-test -DCMAKE_BUILD_TYPE=Checked -DMOSSKITE_TESTS=ON
	cmake --build build-test -j $(JOBS)
	cd build-test && ctest --output-on-failure -j $(JOBS)

# The sanitizer build is clang's: the tests, and the engine binary they start, run under
# both sanitizers, and the libFuzzer targets are linked beside them from the same
# instrumented engine code (fuzz/run-targets SECONDS build-asan runs them). Line tables
# (-g1) are enough for the stack traces and build far quicker than full debug information.
sanitize:
	cmake -S . -B build-asan -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=Checked -DMOSSKITE_CHECKED_FLAGS="-O1 -g1" -DMOSSKITE_TESTS=ON -DMOSSKITE_FUZZ=ON -DMOSSKITE_SANITIZE=address,undefined
	cmake --build build-asan -j $(JOBS)
	cd build-asan && ctest --output-on-failure -j $(JOBS)

bench:
	cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DMOSSKITE_BENCH=ON
	cmake --build build-bench -j $(JOBS)
	./build-bench/mosskite_bench

clean:
	rm -rf build build-profile build-test build-asan build-bench build-fuzz
	rm -rf obj-*-linux-gnu* debian/.debhelper debian/mosskite debian/debhelper-build-stamp \
	       debian/files debian/*.substvars debian/changelog
	rm -f mosskite_*.deb mosskite_*.buildinfo mosskite_*.changes

# libFuzzer targets under fuzz/, built with clang into build-fuzz/.
fuzz:
	cmake -S . -B build-fuzz -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=Checked -DMOSSKITE_FUZZ=ON
	cmake --build build-fuzz -j $(JOBS)

# Runs each fuzz target for FUZZ_SECONDS from its seed corpus; any finding fails.
FUZZ_SECONDS ?= 8
fuzz-run: fuzz
	fuzz/run-targets $(FUZZ_SECONDS)

# Installs into $(DESTDIR)$(PREFIX); the data folder compiled into the engine is $(PREFIX)'s.
PREFIX ?= /usr/local

# build-install/ is configured for PREFIX, so build/ keeps its own settings. The installed
# engine runs on any processor of its architecture: no profile, no -march=native.
# LTO=OFF skips link-time optimisation (a quicker build, as CI's install check uses).
LTO ?= ON
install:
	cmake -S . -B build-install -DCMAKE_BUILD_TYPE=Release -DMOSSKITE_LTO=$(LTO) -DMOSSKITE_PGO= -DCMAKE_INSTALL_PREFIX=$(PREFIX)
	cmake --build build-install -j $(JOBS)
	DESTDIR=$(DESTDIR) cmake --install build-install

uninstall:
	rm -f $(DESTDIR)$(PREFIX)/games/mosskite
	rm -f $(DESTDIR)$(PREFIX)/share/man/man6/mosskite.6
	rm -f $(DESTDIR)$(PREFIX)/share/games/plugins/xboard/mosskite.eng
	rm -f $(DESTDIR)$(PREFIX)/share/games/mosskite/kitebook.txt
	rmdir $(DESTDIR)$(PREFIX)/share/games/mosskite 2>/dev/null || true

# The Debian package mosskite_VERSION-1_ARCH.deb, built by dpkg-buildpackage from debian/
# (tools/make-deb): the same portable engine and files as `make install` with PREFIX=/usr.
deb:
	tools/make-deb $(JOBS)
