# Fills: boxes with hatch patterns, a translucent filled curve, solid bars.
set terminal emf color enhanced font "DejaVu Sans,9" size 800,600
set style fill pattern 2 border
set boxwidth 0.6
set xrange [0:7]
set yrange [-1.2:5]
set key left top
plot '-' using 1:2 with boxes fs pattern 1 title "pattern 1", \
     '-' using 1:2 with boxes fs pattern 4 title "pattern 4", \
     [0:7] 0.8*sin(2*x)+2 with filledcurves y1=0 fs transparent solid 0.4 title "translucent", \
     [0:7] 0.5*cos(x)-0.5 with filledcurves y1=-1 fs solid 1.0 lc rgb "#3060c0" title "solid"
1 3
3 4
5 2.5
e
2 2
4 3.5
6 1.5
e
