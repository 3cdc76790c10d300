#!/usr/bin/env bash
# The whole suite again, built by Debian's GCC with AddressSanitizer and
# UndefinedBehaviorSanitizer in a build directory of its own. Any report
# (memory error, leak, undefined behaviour) ends the test that made it with a
# failure; no report is suppressed.
set -euo pipefail
cd "$(dirname "$0")/../.."

apt-get install -y g++ cmake ninja-build qt6-base-dev qt6-base-private-dev

cmake -S . -B build-sanitize -G Ninja -DFENNICK_SANITIZE=ON
cmake --build build-sanitize

export ASAN_OPTIONS=halt_on_error=1:detect_leaks=1:detect_stack_use_after_return=1:check_initialization_order=1:strict_init_order=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
ctest --test-dir build-sanitize --output-on-failure
