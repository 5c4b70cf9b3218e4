# The two commands a newcomer runs: `make run` and `make test`.
BUILD ?= build
SANITIZE_BUILD ?= build-sanitize
CMAKE_FLAGS ?=

.PHONY: all bootstrap configure build test test-sanitize golden run clean

all: build

bootstrap:
	@scripts/bootstrap

$(BUILD)/build.ninja:
	@cmake -S . -B $(BUILD) -G Ninja $(CMAKE_FLAGS) >/dev/null

configure: bootstrap $(BUILD)/build.ninja

build: configure
	@cmake --build $(BUILD)

test: build
	@cd $(BUILD) && ctest --output-on-failure --timeout 300 -j $$(nproc)

# Takes the key snapshot pictures again as the references the tests compare with (tests/data/snapshots/):
# after a change of look that is meant, run it and look at the new pictures before committing them.
golden: build
	@TZ=UTC LC_ALL=C.UTF-8 QT_QPA_PLATFORM=offscreen DORMIO_RENEW_GOLDEN=1 \
	  $(BUILD)/tests/dormio-devmodes-tests --gtest_filter=SnapshotPictures.TheKeyViewsLookAsTheirReferences

# The model's tests under AddressSanitizer and UndefinedBehaviorSanitizer.
test-sanitize: bootstrap
	@cmake -S . -B $(SANITIZE_BUILD) -G Ninja $(CMAKE_FLAGS) -DDORMIO_SANITIZE=ON -DDORMIO_BUILD_APP=OFF -DDORMIO_BUILD_BENCH=OFF >/dev/null
	@cmake --build $(SANITIZE_BUILD)
	@cd $(SANITIZE_BUILD) && ctest --output-on-failure --timeout 300 -j $$(nproc)

run: build
	@scripts/run $(BUILD)

clean:
	@rm -rf $(BUILD) $(SANITIZE_BUILD)
