MeshVersionFormatted 2
Dimension 3
HOSolAtTetrahedraP1
2
1 1
3 4
1 2 3 4
5 6 7 8
End
