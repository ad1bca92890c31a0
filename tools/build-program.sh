# Builds the program that `make run` and `make picture` start: the shipped 32-bit one where this machine runs
# 32-bit code and 32-bit Wine is there, else the same sources built for 64-bit. Sourced, from the project's
# root and after tools/wine-env.sh; build_program sets program_dir to the folder that holds Quillmoor.exe.
build_program() {
  local build toolchain why
  if why=$(tools/runs-32-bit.sh) && [ -x "$QM_WINE32_LOADER" ]; then
    build=win32 toolchain=mingw-i686
  else
    echo "== ${why:-32-bit Wine is not installed}: using the 64-bit build instead"
    build=win64 toolchain=mingw-x86_64
  fi
  echo "== building the program ($build)"
  cmake -S . -B "build/$build" -DCMAKE_TOOLCHAIN_FILE="cmake/$toolchain.cmake" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  cmake --build "build/$build" -j "$(nproc)" --target Quillmoor >/dev/null
  program_dir=build/$build/app
}
