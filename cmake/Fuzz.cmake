# libFuzzer targets for the readers of outside input, built from fuzz/
# (clang only, off by default). Every library is compiled with coverage
# instrumentation and AddressSanitizer + UndefinedBehaviorSanitizer, so
# configure a build folder of its own:
#   cmake -S . -B build-fuzz -G Ninja -DCMAKE_CXX_COMPILER=clang++ \
#     -DTARNWICK_FUZZ=ON -DTARNWICK_CORE_ONLY=ON -DTARNWICK_BENCH=OFF
if(NOT DEFINED TARNWICK_FUZZ)
  option(TARNWICK_FUZZ "Build the libFuzzer targets under fuzz/ (clang only)" OFF)
endif()
if(TARNWICK_FUZZ AND NOT TARNWICK_FUZZ_FLAGS_ADDED)
  if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(FATAL_ERROR "TARNWICK_FUZZ needs clang (-DCMAKE_CXX_COMPILER=clang++)")
  endif()
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer
                      -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
  set(TARNWICK_FUZZ_FLAGS_ADDED ON)
endif()
