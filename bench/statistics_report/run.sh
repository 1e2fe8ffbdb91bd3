#!/usr/bin/env bash
# Times filling the statistics report with a year of days under Wine
# (Windows build): the grid told of every appended row, against the grid
# filled first and told once, in the same run.
exec bash "$(dirname "$0")/../wine_bench.sh" fill_statistics_bench Zuzaror -- "$@"
