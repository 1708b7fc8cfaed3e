# The payment benchmark runs the terminal simulator in its own process.
target_link_libraries(bench_Payment PRIVATE terminalsim)
