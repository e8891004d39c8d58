#!/usr/bin/env bash
# The TikZ export compiles where TeX's dimensions used to overflow ("Dimension too large"): two
# opposite arcs 1600 px apart, coordinates past 21845, a 10000-character name and weight; each
# with pdfLaTeX, which the file's first comment names. Usage: tikz_pdflatex.sh NODELOOM SCRATCH
set -u
program=$1 scratch=$2
command -v pdflatex > /dev/null || { echo "skipped: no pdflatex"; exit 77; }
mkdir -p "$scratch" && cd "$scratch" || exit 1
name=$(head -c 10000 /dev/zero | tr '\0' n)
printf '[directed]\r\n[weighted]\r\n[black]\r\n2 2\r\n0 0 /*a*/\r\n1600 0 /*b*/\r\n1 2 /*x*/\r\n2 1 /*y*/\r\n' > apart.gf4
printf '[undirected]\r\n[unweighted]\r\n[black]\r\n2 1\r\n0 0 /*a*/\r\n30000 -25000 /*b*/\r\n1 2\r\n' > far.gf4
printf '[undirected]\r\n[weighted]\r\n[black]\r\n2 2\r\n0 0 /*%s*/\r\n100 0 /*b*/\r\n1 2 /*%s*/\r\n2 2 /*loop*/\r\n' "$name" "$name" > long.gf4
failed=0
for graph in apart far long; do
    "$program" $graph.gf4 --export $graph.tex || { echo "$graph: export failed"; failed=1; continue; }
    head -1 $graph.tex | grep -q "TeX engine: pdflatex" || { echo "$graph: $(head -1 $graph.tex)"; failed=1; }
    printf '\\documentclass{article}\\usepackage[T1]{fontenc}\\usepackage{tikz}\\begin{document}\\input{%s.tex}\\end{document}\n' $graph > doc-$graph.tex
    if ! pdflatex -interaction=nonstopmode -halt-on-error doc-$graph.tex > doc-$graph.out 2>&1; then
        echo "$graph: $(grep -m1 '^!' doc-$graph.out)"
        failed=1
    fi
done
exit $failed
