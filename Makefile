# Front door for a fresh machine: `make run` and `make test`.
BUILD ?= out
FUZZBUILD ?= out-fuzz
JOBS ?= 2
CMAKE_FLAGS ?=

.PHONY: setup configure build run test fuzz bench deb clean

setup:
	./scripts/setup-machine.sh

configure: setup
	cmake -S . -B $(BUILD) -G Ninja $(CMAKE_FLAGS)

build: configure
	cmake --build $(BUILD) -j$(JOBS)

# The main job: build the example project and check what came out.
run: build
	./scripts/run-example.sh $(BUILD)

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j$(JOBS) --timeout 600

# libFuzzer targets (clang), each run for PCN_FUZZ_SECONDS.
fuzz: setup
	CC=clang CXX=clang++ cmake -S . -B $(FUZZBUILD) -G Ninja -DPCN_FUZZ=ON -DPCN_BUILD_GUI=OFF -DPCN_BUILD_TESTS=OFF -DPCN_FUZZ_SECONDS=$${PCN_FUZZ_SECONDS:-30}
	cmake --build $(FUZZBUILD) -j$(JOBS) --target fuzzers
	cd $(FUZZBUILD) && ctest --output-on-failure -R '^fuzz\.'

# The Debian packages parcelon-cli and parcelon, from a release build of their
# own (out-release/), checked with lintian.
RELEASE ?= out-release
deb: setup
	cmake -S . -B $(RELEASE) -G Ninja -DCMAKE_BUILD_TYPE=Release -DPCN_BUILD_TESTS=OFF $(CMAKE_FLAGS)
	cmake --build $(RELEASE) -j$(JOBS)
	cd $(RELEASE) && cpack -G DEB
	lintian --display-info $(RELEASE)/parcelon-cli_*.deb $(RELEASE)/parcelon_*.deb

bench: build
	./bench/run-all.sh $(BUILD)

clean:
	rm -rf $(BUILD) $(FUZZBUILD) $(RELEASE)
