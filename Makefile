# make run : install what is missing, build, create a demo database if none, start the program
# make test: the same set-up, then every test, headless
# make fuzz: also installs clang, builds the libFuzzer targets in build-fuzz/ and runs each
#            for FUZZ_SECONDS, starting from the seeds in fuzz/corpus/
BUILD_DIR ?= build
FUZZ_DIR ?= build-fuzz
FUZZ_SECONDS ?= 60
JOBS ?= $(shell nproc)

.PHONY: all deps build demo run test bench stress package screenshots fuzz format clean

all: build

deps:
	@bash tools/install-deps.sh

build: deps
	@cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	@cmake --build $(BUILD_DIR) -j$(JOBS)

demo: build
	@mkdir -p demo
	@[ -f demo/kelvaro.mdb ] || $(BUILD_DIR)/tools/kelvaro-admin init --demo --manager admin admin 系統管理 demo/kelvaro.mdb

run: demo
	@if [ -z "$$DISPLAY$$WAYLAND_DISPLAY$$QT_QPA_PLATFORM" ]; then \
	  echo "make run: no display here; run it under a virtual one: apt-get install xvfb && xvfb-run make run"; \
	  exit 1; fi
	cd demo && ../$(BUILD_DIR)/app/kelvaro

test: build
	cd $(BUILD_DIR) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j$(JOBS)

bench: build
	@set -e; for b in $$(find $(BUILD_DIR)/bench -maxdepth 1 -type f -perm -u+x -name 'bench_*' | sort); do \
		echo "== $$b"; "$$b"; done

# The reliability suite in full: 8 copies x 2,000 inserts, 200 crashes, environment faults
# (as root it also fills a small file system of its own). Figures at the end of each.
stress: build
	@rc=0; for s in stress_faults stress_crash stress_copies; do $(BUILD_DIR)/tests/stress/$$s || rc=1; done; \
	$(BUILD_DIR)/tests/stress/stress_copies --postgresql || rc=1; exit $$rc

# A Debian package of the program and kelvaro-admin, in build/.
package: build
	@cd $(BUILD_DIR) && cpack -G DEB

# The README's pictures of each page, from a fresh demo database on the offscreen platform.
screenshots: build
	@QT_QPA_PLATFORM=offscreen $(BUILD_DIR)/tools/screenshots/kelvaro-screenshots \
	  $(BUILD_DIR)/tools/kelvaro-admin docs/screenshots

fuzz:
	@bash tools/install-deps.sh --fuzz
	@cmake -S . -B $(FUZZ_DIR) -DKELVARO_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo \
		-DCMAKE_CXX_COMPILER=clang++ >/dev/null
	@cmake --build $(FUZZ_DIR) -j$(JOBS)
	@bash fuzz/run-fuzzers.sh $(FUZZ_DIR) $(FUZZ_SECONDS)

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD_DIR) $(FUZZ_DIR)
