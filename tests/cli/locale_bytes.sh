#!/usr/bin/env bash
# Files are the same in every locale: under comma-decimal locales (de_DE, fr_FR, built here with
# localedef) every export ending --help lists, every report form and every import give the bytes
# they give under C, and Graphviz reads the DOT written under de_DE.
# Usage: locale_bytes.sh NODELOOM SCRATCH
set -u
program=$1 scratch=$2
rm -rf "$scratch" && mkdir -p "$scratch/loc" && cd "$scratch" || exit 1
for locale in de_DE fr_FR; do
    if ! localedef -i $locale -f UTF-8 "loc/$locale.UTF-8" > /dev/null 2>&1; then
        echo "skipped: localedef cannot build $locale.UTF-8 (package locales missing?)"
        exit 77
    fi
done
export LOCPATH=$scratch/loc
# The locale must really be comma-decimal, or the test proves nothing.
[ "$(env LC_ALL=de_DE.UTF-8 /usr/bin/printf '%.1f' 0.5 2> /dev/null)" = "0,5" ] || { echo "de_DE.UTF-8 is not comma-decimal here"; exit 1; }

printf '[undirected]\r\n[weighted]\r\n[black]\r\n4 4\r\n40 50 /*A*/\r\n130 61 /*B*/\r\n90 140 /*C*/\r\n200 90 /*D*/\r\n1 2 /*2.5*/\r\n2 3 /*0.75*/\r\n1 3 /*4.125*/\r\n3 4 /*1e-3*/\r\n' > w.gf4
cat > g.graphml <<'XML'
<?xml version="1.0" encoding="UTF-8"?>
<graphml xmlns="http://graphml.graphdrawing.org/xmlns">
  <key id="x" for="node" attr.name="x" attr.type="double"/>
  <key id="y" for="node" attr.name="y" attr.type="double"/>
  <key id="w" for="edge" attr.name="weight" attr.type="double"/>
  <graph edgedefault="undirected">
    <node id="a"><data key="x">60.8</data><data key="y">20.25</data></node>
    <node id="b"><data key="x">140.5</data><data key="y">99.75</data></node>
    <node id="c"><data key="x">30.5</data><data key="y">150.5</data></node>
    <edge source="a" target="b"><data key="w">2.5</data></edge>
    <edge source="b" target="c"><data key="w">0.125</data></edge>
  </graph>
</graphml>
XML
printf 'digraph { a [pos="45.6,-30.25!"]; b [pos="120.5,-80.75!"]; a -> b [weight=2.5]; b -> c [weight=0.5]; }\n' > g.dot
printf 'a b 1.5\nb c 0.25\nc a 2e-1\n' > e.txt
printf '0,0.5,0\n0.5,0,1.25\n0,1.25,0\n' > m.csv
printf 'Dhc\n' > p.g6

failed=0
# outputs NAME ARGS...: runs the program under C, then under each comma-decimal locale, with the
# outputs ARGS name (each %O becomes a file of that run's folder), and compares every output.
run_all() {
    local name=$1
    shift
    for locale in C de_DE.UTF-8 fr_FR.UTF-8; do
        mkdir -p "out-$locale"
        local args=() a
        for a in "$@"; do args+=("${a//%O/out-$locale/}"); done
        if ! LC_ALL=$locale LANG=$locale "$program" "${args[@]}" > "out-$locale/$name.stdout" 2> "out-$locale/$name.stderr"; then
            echo "$name under $locale failed: $(cat "out-$locale/$name.stderr")"
            failed=1
        fi
    done
}

endings=$("$program" --help | sed -n '/^Export formats/,$p' | grep -o '\.[a-z0-9]*' | sort -u)
[ -n "$endings" ] || { echo "no export endings in --help"; exit 1; }
exports=()
for e in $endings; do exports+=(--export "%Oplain$e"); done
run_all plain w.gf4 "${exports[@]}"
shown=()
for e in $endings; do [ "$e" = .gf4 ] || shown+=(--export "%Oshown$e"); done
run_all shown w.gf4 --show path:A,D --show flow:A,D "${shown[@]}"
for form in json txt tex; do run_all "report-$form" w.gf4 --report "%Oreport.$form" --show path:A,D; done
run_all report-stdout w.gf4 --report
for input in g.graphml g.dot e.txt m.csv p.g6; do
    run_all "import-$input" "$input" --export "%O$input.gf4" --export "%O$input.dot"
    run_all "layout-$input" "$input" --layout neato --export "%O$input-neato.gf4"
done

for locale in de_DE.UTF-8 fr_FR.UTF-8; do
    for file in out-C/*; do
        other="out-$locale/${file#out-C/}"
        # A PDF says when it was made: that alone may differ (the same length, so no offset moves).
        cmp -s <(perl -pe 's/CreationDate \(D:\d+Z\)//' "$file") <(perl -pe 's/CreationDate \(D:\d+Z\)//' "$other") ||
            { echo "$other differs from $file"; failed=1; }
    done
done
[ "$(ls out-C | wc -l)" -gt 40 ] || { echo "too few outputs: $(ls out-C | wc -l)"; failed=1; }
grep -q 'x=0.75pt' out-de_DE.UTF-8/plain.tex || { echo "TikZ scale under de_DE: $(grep -m1 'x=' out-de_DE.UTF-8/plain.tex)"; failed=1; }
if command -v dot > /dev/null; then
    dot -Tplain out-de_DE.UTF-8/plain.dot > /dev/null 2> dot.err || { echo "Graphviz refuses the DOT of de_DE: $(cat dot.err)"; failed=1; }
fi
# The imported position 60.8 stays 60.8 (61 on the surface), not 60.
grep -q '^61 20 ' out-de_DE.UTF-8/g.graphml.gf4 || { echo "GraphML position under de_DE: $(sed -n 5p out-de_DE.UTF-8/g.graphml.gf4)"; failed=1; }
exit $failed
