#!/usr/bin/env bash
# The TikZ export compiles where TeX's dimensions used to overflow ("Dimension too large"): two
# opposite arcs 1600 px apart, coordinates past 21845, a 10000-character name and weight; each
# with pdfLaTeX, which the file's first comment names; and a picture with --describe's alt text
# (alt/.try, which a TeX without the key skips) and description comment. Usage: tikz_pdflatex.sh NODELOOM SCRATCH
set -u
program=$1 scratch=$2
command -v pdflatex > /dev/null || { echo "skipped: no pdflatex"; exit 77; }
mkdir -p "$scratch" && cd "$scratch" || exit 1
name=$(head -c 10000 /dev/zero | tr '\0' n)
printf '[directed]\r\n[weighted]\r\n[black]\r\n2 2\r\n0 0 /*a*/\r\n1600 0 /*b*/\r\n1 2 /*x*/\r\n2 1 /*y*/\r\n' > apart.gf4
printf '[undirected]\r\n[unweighted]\r\n[black]\r\n2 1\r\n0 0 /*a*/\r\n30000 -25000 /*b*/\r\n1 2\r\n' > far.gf4
printf '[undirected]\r\n[weighted]\r\n[black]\r\n2 2\r\n0 0 /*%s*/\r\n100 0 /*b*/\r\n1 2 /*%s*/\r\n2 2 /*loop*/\r\n' "$name" "$name" > long.gf4
printf '[undirected]\r\n[weighted]\r\n[black]\r\n3 3\r\n0 0 /*A & {B}*/\r\n100 0 /*50%%_#1*/\r\n50 80 /*C~^\\*/\r\n1 2 /*5*/\r\n2 3 /*$7*/\r\n1 3 /*9}*/\r\n' > described.gf4
failed=0
for graph in apart far long described; do
    options=()
    [ $graph = described ] && options=(--describe)
    "$program" $graph.gf4 --export $graph.tex "${options[@]}" || { echo "$graph: export failed"; failed=1; continue; }
    [ $graph != described ] || grep -q 'alt/.try={Undirected weighted graph of 3 vertices' $graph.tex ||
        { echo "$graph: no alt text"; failed=1; }
    head -1 $graph.tex | grep -q "TeX engine: pdflatex" || { echo "$graph: $(head -1 $graph.tex)"; failed=1; }
    printf '\\documentclass{article}\\usepackage[T1]{fontenc}\\usepackage{tikz}\\begin{document}\\input{%s.tex}\\end{document}\n' $graph > doc-$graph.tex
    if ! pdflatex -interaction=nonstopmode -halt-on-error doc-$graph.tex > doc-$graph.out 2>&1; then
        echo "$graph: $(grep -m1 '^!' doc-$graph.out)"
        failed=1
    fi
done
exit $failed
