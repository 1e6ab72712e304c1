# The two everyday commands. Both install what the build needs first.
#   make run    build, then start the player on the bundled demo module
#   make test   build everything, run the whole suite (again under ASan and UBSan) and the fuzzers
#   make edit   build, then start the module editor
#   make package  build, then the Debian package qmx_VERSION_ARCH.deb here
BUILD ?= build
FUZZ_BUILD ?= build-fuzz
SAN_BUILD ?= build-asan
WERROR ?= OFF
FUZZ_SECONDS ?= 45
JOBS ?= $(shell nproc)

.PHONY: deps build run edit test sanitize fuzz package clean

deps:
	scripts/install-deps

build: deps
	cmake -S . -B $(BUILD) -G Ninja -DQMX_WERROR=$(WERROR)
	cmake --build $(BUILD) -j $(JOBS)

run: build
	scripts/run-player $(BUILD)

edit: build
	$(BUILD)/qmx4edit

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS) --timeout 600
	$(MAKE) sanitize
	$(MAKE) fuzz

package: build
	cd $(BUILD) && rm -f qmx_*.deb && cpack -G DEB
	cp $(BUILD)/qmx_*.deb .

# The whole suite once more, built with AddressSanitizer and UBSan: any
# finding fails its test (the options come with the build folder's ctest).
sanitize: deps
	cmake -S . -B $(SAN_BUILD) -G Ninja -DQMX_SANITIZE=ON -DQMX_WERROR=$(WERROR)
	cmake --build $(SAN_BUILD) -j $(JOBS)
	cd $(SAN_BUILD) && ctest --output-on-failure -j $(JOBS) --timeout 1200

fuzz: deps
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD) -G Ninja -DQMX_FUZZ=ON -DQMX_WERROR=$(WERROR)
	cmake --build $(FUZZ_BUILD) -j $(JOBS)
	scripts/run-fuzz $(FUZZ_BUILD) $(FUZZ_SECONDS)

clean:
	rm -rf $(BUILD) $(FUZZ_BUILD) $(SAN_BUILD)
