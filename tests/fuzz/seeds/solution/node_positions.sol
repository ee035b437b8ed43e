MeshVersionFormatted 2
Dimension 3

HOSolAtTetrahedraP1
2
1 1
1 4
0.2 0.5 0.8 1.1
0.9 1.2 -0.8 -0.5

HOSolAtTetrahedraP1NodesPositions
4
1 0 0 0
0 1 0 0
0 0 1 0
0 0 0 1

End
