# release-copy.sh: sourced by the release build tests. Builds the release
# again from the checkout's files in a fresh folder of its own.
#   release_copy SOURCE_DIR WORK_DIR [CMAKE_ARGS...]
# leaves the sources in WORK_DIR/src, the build in WORK_DIR/src/build/release
# and the program in WORK_DIR/src/dist; the build's output in WORK_DIR/build.log.
release_copy() {
  local source=$1 work=$2; shift 2
  rm -rf "$work"; mkdir -p "$work/src"
  git -C "$source" ls-files -z | (cd "$source" && xargs -0 tar -c) | tar -x -C "$work/src"
  (cd "$work/src" && cmake --preset release "$@" && cmake --build --preset release -j2) \
    >"$work/build.log" 2>&1 || { tail -20 "$work/build.log"; return 1; }
}
