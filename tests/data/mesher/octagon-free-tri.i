* TITLE
Free triangle octagon
* OUTPUT FORMAT
0
* NUMBER OF BASIC GEOMETRIC ENTITIES TO BE DEFINED
1
* ENTITY #, LIB. CODE #, # OF POINTS
1         11           8
1    9.23879532511   3.82683432365
2    3.82683432365   9.23879532511
3    -3.82683432365   9.23879532511
4    -9.23879532511   3.82683432365
5    -9.23879532511   -3.82683432365
6    -3.82683432365   -9.23879532511
7    3.82683432365   -9.23879532511
8    9.23879532511   -3.82683432365
* NO. OF GLOBAL GCOS TO BE DEFINED
0
* NO. OF PREDEFINED PROF.
0
* NO. OF STRUCTUTE ELEMENTS
0
* No. OF REGIONS, No. OF SMOOTH. CYCLES, INTERFACE FLAG,   ELEMENT SHAPE
1             0                      34    0
*   REGION #, MAX DOF,    INI. SOL.
1              6      1.0  3.0  0.0  6.2857143  0.0  0.0
*   INILEVL, ITRANS , GRID VEL., PERIODICITY, ELEM._GROUP, Obj. index
      0      -10      0.0  0.0      0.0         2  101
*   SCHEME LIB. CODE #, # OF SIDE, NSM, IMAX, JMAX
    -21  8   0   100   100
*      SIDE #, # OF SEG., LIST OF NEIBOR, INILEV FOR EACH SEG.
       1           1           -2            0
*       SEG. #, LIM(1:2), CPAR,  WN, IDGEOM(1:2), # COM. OPER.
       1       1  5      0      1   1 1  1 2   0   
*      SIDE #, # OF SEG., LIST OF NEIBOR, INILEV FOR EACH SEG.
       2           1           -2            0
*       SEG. #, LIM(1:2), CPAR,  WN, IDGEOM(1:2), # COM. OPER.
       1       1  5      0      1   1 2  1 3   0   
*      SIDE #, # OF SEG., LIST OF NEIBOR, INILEV FOR EACH SEG.
       3           1           -2            0
*       SEG. #, LIM(1:2), CPAR,  WN, IDGEOM(1:2), # COM. OPER.
       1       1  5      0      1   1 3  1 4   0   
*      SIDE #, # OF SEG., LIST OF NEIBOR, INILEV FOR EACH SEG.
       4           1           -2            0
*       SEG. #, LIM(1:2), CPAR,  WN, IDGEOM(1:2), # COM. OPER.
       1       1  5      0      1   1 4  1 5   0   
*      SIDE #, # OF SEG., LIST OF NEIBOR, INILEV FOR EACH SEG.
       5           1           -2            0
*       SEG. #, LIM(1:2), CPAR,  WN, IDGEOM(1:2), # COM. OPER.
       1       1  5      0      1   1 5  1 6   0   
*      SIDE #, # OF SEG., LIST OF NEIBOR, INILEV FOR EACH SEG.
       6           1           -2            0
*       SEG. #, LIM(1:2), CPAR,  WN, IDGEOM(1:2), # COM. OPER.
       1       1  5      0      1   1 6  1 7   0   
*      SIDE #, # OF SEG., LIST OF NEIBOR, INILEV FOR EACH SEG.
       7           1           -2            0
*       SEG. #, LIM(1:2), CPAR,  WN, IDGEOM(1:2), # COM. OPER.
       1       1  5      0      1   1 7  1 8   0   
*      SIDE #, # OF SEG., LIST OF NEIBOR, INILEV FOR EACH SEG.
       8           1           -2            0
*       SEG. #, LIM(1:2), CPAR,  WN, IDGEOM(1:2), # COM. OPER.
       1       1  5      0      1   1 8  1 1   0   
