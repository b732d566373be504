# Curves and text: a key, dashed and dotted lines, a turned y label, tics.
set terminal emf color solid enhanced font "DejaVu Sans,10" size 800,600
set title "Damped waves"
set xlabel "time (s)"
set ylabel "amplitude"
set key top right box
set samples 80
plot [0:10] exp(-x/4)*sin(3*x) title "damped" lw 2, \
            exp(-x/4) title "envelope" dt 2 lw 1, \
            -exp(-x/4) notitle dt 3 lw 1 lc rgb "#808080", \
            cos(x)/3 title "slow" with linespoints pt 7 ps 0.6
