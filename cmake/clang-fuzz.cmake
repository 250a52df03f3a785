# The fuzz tree: clang with libFuzzer's coverage, AddressSanitizer and UBSan in every object,
# libjpeg-turbo's included (scripts/libjpeg-turbo builds it with this file), so that the fuzzer is
# guided through the decoder too. Each fuzz target links libFuzzer's driver itself.
set(CMAKE_C_COMPILER clang-14)
set(CMAKE_CXX_COMPILER clang++-14)
set(zelta_fuzz_flags "-O1 -g -fno-omit-frame-pointer -fsanitize=fuzzer-no-link,address,undefined")
string(APPEND zelta_fuzz_flags " -fno-sanitize-recover=all")
set(CMAKE_C_FLAGS_INIT ${zelta_fuzz_flags})
set(CMAKE_CXX_FLAGS_INIT ${zelta_fuzz_flags})
