#!/usr/bin/env bash
# Times filling the record list with 3,650 rows under Wine (Windows build).
exec bash "$(dirname "$0")/../wine_bench.sh" fill_list_bench
