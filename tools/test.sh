#!/usr/bin/env bash
# Installs what is missing, checks the formatting, builds and runs the whole test suite, then
# builds again with AddressSanitizer and UndefinedBehaviorSanitizer and runs it once more.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/deps.sh

echo "== clang-format"
git ls-files -- '*.h' '*.cpp' | xargs clang-format --dry-run --Werror

echo "== build"
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build -j2
echo "== tests"
(cd build && ctest -j2 --output-on-failure)

# The sanitizer build uses clang: it compiles unoptimised code about twice as fast as GCC, and
# checking with a second compiler catches what one of them lets through.
echo "== build with sanitizers"
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DBRIMTAL_SANITIZE=ON \
  -DCMAKE_CXX_COMPILER=clang++ -DBRIMTAL_BUILD_BENCHMARKS=OFF >/dev/null
cmake --build build-asan -j2
echo "== tests with sanitizers"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export LSAN_OPTIONS=suppressions=$PWD/tools/lsan.supp:print_suppressions=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
(cd build-asan && ctest -j2 --output-on-failure)
