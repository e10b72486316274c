# Standard, warnings and Qt defines shared by every target.
add_library(caldra_options INTERFACE)
target_compile_features(caldra_options INTERFACE cxx_std_20)
target_compile_options(caldra_options INTERFACE -Wall -Wextra -Wpedantic -Wshadow)
target_compile_definitions(caldra_options INTERFACE
  QT_NO_CAST_FROM_ASCII QT_NO_KEYWORDS QT_NO_CAST_TO_ASCII QT_USE_QSTRINGBUILDER)
if(CALDRA_SANITIZE)
  target_compile_options(caldra_options INTERFACE
    -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  target_link_options(caldra_options INTERFACE -fsanitize=address,undefined)
endif()
if(CALDRA_FUZZ)
  # Coverage for the fuzzers in everything they reach; each target adds the driver.
  target_compile_options(caldra_options INTERFACE
    -fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer)
  target_link_options(caldra_options INTERFACE -fsanitize=address,undefined)
endif()
