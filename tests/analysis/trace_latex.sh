#!/usr/bin/env bash
# A trace's LaTeX and PDF as people use them: Dijkstra's frames as TikZ input to a Beamer frame
# give steps + 1 slides and an article the last frame; the PDF export has steps + 1 pages; the
# tables of every algorithm compile in article and beamer. Usage: trace_latex.sh NODELOOM SCRATCH
set -u
program=$1 scratch=$2
for tool in pdflatex pdfinfo python3; do
    command -v $tool > /dev/null || { echo "skipped: no $tool"; exit 77; }
done
rm -rf "$scratch" && mkdir -p "$scratch" && cd "$scratch" || exit 1
failed=0
fail() { echo "$*"; failed=1; }
latex() { pdflatex -interaction=nonstopmode -halt-on-error "$1" > "$1.out" 2>&1 || fail "$1: $(grep -m1 '^!' "$1.out")"; }
pages() { pdfinfo "$1" 2> /dev/null | sed -n 's/^Pages: *//p'; }
steps() { python3 -c 'import json,sys; print(len(json.load(open(sys.argv[1]))["steps"]))' "$1"; }

# Names TeX must escape, a weight that is a fraction, a vertex no edge reaches.
printf '[undirected]\n[weighted]\n[black]\n6 8\n60 60 /*A&B*/\n200 40 /*b_1*/\n200 180 /*c%%*/\n340 60 /*d*/\n340 200 /*e#*/\n460 120 /*far*/\n1 2 /*4*/\n1 3 /*2*/\n2 3 /*1*/\n2 4 /*5*/\n3 4 /*8.5*/\n3 5 /*10*/\n4 5 /*2*/\n4 4 /*3*/\n' > g.gf4
printf '[directed]\n[unweighted]\n[black]\n4 4\n40 40 /*s*/\n120 40 /*x*/\n40 120 /*y*/\n120 120 /*t*/\n1 2\n1 3\n2 4\n3 4\n' > dag.gf4

"$program" g.gf4 --trace 'dijkstra:A&B' --report d.json --export d.tex --export d.pdf --export d.png || fail "dijkstra export failed"
n=$(( $(steps d.json) + 1 ))
[ "$(pages d.pdf)" = "$n" ] || fail "d.pdf: $(pages d.pdf) pages, expected $n"
[ "$(ls d-*.png | wc -l)" = "$n" ] && [ -f d-000.png ] && [ -f "d-$(printf %03d $((n - 1))).png" ] || fail "pictures: $(ls d-*.png)"
printf '\\documentclass{beamer}\\usepackage{tikz}\\begin{document}\\begin{frame}\\input{d.tex}\\end{frame}\\end{document}\n' > slides.tex
latex slides.tex
[ "$(pages slides.pdf)" = "$n" ] || fail "slides.pdf: $(pages slides.pdf) slides, expected $n"
printf '\\documentclass{article}\\usepackage{tikz}\\begin{document}\\input{d.tex}\\end{document}\n' > last.tex
latex last.tex
[ "$(pages last.pdf)" = 1 ] || fail "last.pdf: $(pages last.pdf) pages"

# The tables of every algorithm, in both classes.
inputs=""
for a in 'bfs:A&B' 'dfs:A&B' 'dijkstra:A&B' 'bellman-ford:A&B' 'prim:A&B' kruskal floyd-warshall 'flow:A&B,e#' \
         greedy-colouring welsh-powell euler bridges; do
    name=${a%%:*}
    "$program" g.gf4 --trace "$a" --report "t-$name.tex" || fail "$a: no table"
    inputs="$inputs\\input{t-$name.tex}"
done
"$program" dag.gf4 --trace topological --report t-topological.tex || fail "topological: no table"
inputs="$inputs\\input{t-topological.tex}"
printf '\\documentclass{article}\\usepackage{booktabs}\\begin{document}%s\\end{document}\n' "$inputs" > tables.tex
latex tables.tex
printf '\\documentclass{beamer}\\usepackage{booktabs}\\begin{document}\\begin{frame}[allowframebreaks]%s\\end{frame}\\end{document}\n' "$inputs" > tables-beamer.tex
latex tables-beamer.tex
exit $failed
