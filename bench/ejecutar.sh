#!/bin/sh
# Builds the benchmarks and prints one table of ratios, all measured in this run.
#
#   bench/ejecutar.sh [BUILD_DIR]      (default: build-bench)
#
# BUILD_DIR is configured in Release with -DTALO_BENCH=ON. The ~100 MB OBJ
# files and the 4096 x 4096 TGA file are generated in BUILD_DIR/bench_datos
# on the first run and reused after. Needs libbenchmark-dev,
# libtinyobjloader-dev, libstb-dev, Xvfb and Mesa (tools/dependencias.sh
# installs them). How the figures are measured: docs/rendimiento.md.
set -eu

raiz=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$raiz/build-bench}

cmake -S "$raiz" -B "$build" -DCMAKE_BUILD_TYPE=Release -DTALO_BENCH=ON >/dev/null
cmake --build "$build" -j2 --target bench_talo carga_unica bench_tga bench_colision contador_cuadros walkthrough walkthrough-wire escena >/dev/null
build=$(cd "$build" && pwd)

echo "bench/ejecutar.sh: OBJ loader (Google Benchmark, 3 repetitions; a few minutes)" >&2
"$build/bench/bench_talo" "$build/bench_datos" \
    --benchmark_repetitions=3 --benchmark_report_aggregates_only=true \
    --benchmark_out="$build/bench_resultados.json" --benchmark_out_format=json >&2

echo "bench/ejecutar.sh: OBJ loader in fresh processes (15 rounds)" >&2
python3 "$raiz/bench/procesos_nuevos.py" "$build" 15 > "$build/bench_procesos.txt"

echo "bench/ejecutar.sh: collision (Google Benchmark, 3 repetitions)" >&2
"$build/bench/bench_colision" \
    --benchmark_repetitions=3 --benchmark_report_aggregates_only=true \
    --benchmark_out="$build/bench_colision.json" --benchmark_out_format=json >&2

echo "bench/ejecutar.sh: TGA loader (Google Benchmark, 5 repetitions)" >&2
"$build/bench/bench_tga" "$build/bench_datos" \
    --benchmark_repetitions=5 --benchmark_enable_random_interleaving=true \
    --benchmark_report_aggregates_only=true \
    --benchmark_out="$build/bench_tga.json" --benchmark_out_format=json >&2

echo "bench/ejecutar.sh: frames under Xvfb and llvmpipe" >&2
python3 "$raiz/bench/cuadros.py" "$build" > "$build/bench_cuadros.json"

echo
python3 "$raiz/bench/tabla.py" "$build/bench_resultados.json" "$build/bench_tga.json" "$build/bench_colision.json" "$build/bench_cuadros.json"
echo
cat "$build/bench_procesos.txt"
