#!/usr/bin/env bash
# Writes the seed corpora of the lrc, m3u, tagread and tagwrite targets into
# fuzz/corpus/ (the ini and text seeds are written by hand).
set -euo pipefail
cd "$(dirname "$0")/.."
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCALDRA_FUZZ=ON -DCALDRA_BUILD_TESTS=OFF -DCALDRA_BUILD_BENCH=OFF >/dev/null
cmake --build build-fuzz --target make_corpus
build-fuzz/fuzz/make_corpus fuzz/corpus
