# A coloured surface: many small filled polygons, a colour box, rotated tics.
set terminal emf color enhanced font "DejaVu Sans,9" size 800,600
set pm3d at s
set isosamples 14
set samples 14
set palette rgbformulae 33,13,10
set xtics rotate by 30
unset key
set view 60,30
splot [-3:3][-3:3] exp(-(x*x+y*y)/3)*cos(2*x)
