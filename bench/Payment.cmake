# The payment benchmark runs the terminal simulator inside the benchmark program.
target_link_libraries(bench_Payment PRIVATE terminalsim)
