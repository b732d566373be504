# Pattern fills: a box of each of gnuplot's patterns, bordered.
set terminal emf color enhanced font "DejaVu Sans,9" size 480,320
set style fill border
set boxwidth 0.8
set xrange [-0.6:7.6]
set yrange [0:5]
unset key
plot for [p=0:7] '+' using (p):(1+p%4) every ::0::0 with boxes fs pattern p lc rgb "#204080"
