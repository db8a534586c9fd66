# Warnings, floating-point determinism and sanitizers for every target.
add_compile_options(-Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor)
if(RT_WERROR)
  add_compile_options(-Werror)
endif()

# Frames must be bit-identical across builds: no fused multiply-add contraction,
# and on 32-bit x86 double arithmetic in SSE2 registers rather than x87.
add_compile_options(-ffp-contract=off)
if(EMSCRIPTEN)
  # The browser build: emscripten turns the SSE2 spans' intrinsics into
  # WebAssembly's 128-bit vector instructions (its doubles are IEEE anyway).
  add_compile_options(-msimd128 -msse2)
elseif(CMAKE_SYSTEM_PROCESSOR MATCHES "^(i.86|x86)$")
  add_compile_options(-msse2 -mfpmath=sse)
endif()
if(WIN32 AND CMAKE_SYSTEM_PROCESSOR STREQUAL "x86")
  # A host built with Microsoft's compiler calls us with the stack aligned to
  # 4 bytes only; functions that keep SSE values on the stack realign it.
  add_compile_options(-mincoming-stack-boundary=2)
endif()

if(RT_SANITIZE)
  add_compile_options(-fsanitize=${RT_SANITIZE} -fno-omit-frame-pointer -fno-sanitize-recover=all)
  add_link_options(-fsanitize=${RT_SANITIZE})
endif()

if(RT_BUILD_FUZZ)
  # Coverage feedback for libFuzzer from every library the fuzz targets link.
  add_compile_options(-fsanitize=fuzzer-no-link)
endif()

if(WIN32)
  # No build paths in the Windows binaries (file names in assertions and the
  # like), so that two builds of one source in different places are the same
  # bytes. The build tree may lie inside the source tree: its rule comes last
  # and so wins for generated files.
  add_compile_options(-ffile-prefix-map=${PROJECT_SOURCE_DIR}/=
                      -ffile-prefix-map=${PROJECT_BINARY_DIR}/=build/)
endif()

if(WIN32)
  # One self-contained module: the GCC runtimes are linked in.
  add_link_options(-static-libgcc -static-libstdc++ -static)
endif()

# Code that ends up in the module: nothing may be thrown across the host
# boundary, and the host knows nothing of our type information. Native builds
# keep type information so that the sanitizers' virtual-call checks work on
# the effect.
function(rt_module_code target)
  target_compile_options(${target} PRIVATE -fno-exceptions $<$<BOOL:${WIN32}>:-fno-rtti>)
endfunction()
