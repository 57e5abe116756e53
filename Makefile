# The two commands of the README: `make run` and `make test`.
# Both install the Debian packages they need when they are missing.

PACKAGES := cmake ninja-build g++ pkg-config qt6-base-dev qt6-qpa-plugins \
            libgtest-dev libgmock-dev libbenchmark-dev libfann-dev \
            fonts-dejavu-core xvfb xauth poppler-utils clang libclang-rt-dev

BUILD      := build
ASAN_BUILD := build-asan
WORKDIR    := work

.PHONY: run test build bench deps clean

deps:
	@missing=""; \
	for p in $(PACKAGES); do \
	  dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q "install ok installed" || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
	  if [ "$$(id -u)" = 0 ]; then \
	    echo "Installing:$$missing"; \
	    apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq $$missing; \
	  else \
	    echo "sudo apt-get install$$missing"; exit 1; \
	  fi; \
	fi

build: deps
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(BUILD)

run: build
	@mkdir -p $(WORKDIR)
	@cp -n demo/* $(WORKDIR)/ 2>/dev/null || true
	cd $(WORKDIR) && ../$(BUILD)/app/backpropagation

test: deps
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(BUILD)
	cmake -S . -B $(ASAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DBACKPROP_SANITIZE=ON
	cmake --build $(ASAN_BUILD)
	@scripts/run-tests.sh $(BUILD) $(ASAN_BUILD)

bench: deps
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBACKPROP_BENCH=ON
	cmake --build $(BUILD)
	@scripts/run-bench.sh $(BUILD)

clean:
	rm -rf $(BUILD) $(ASAN_BUILD)
