/* A small library that the library handler tests load. Both targets export every function of a
   library without export marks (default visibility; mingw's automatic export). */
int VxAdd(int a, int b) { return a + b; }
const char* VxName(void) { return "vx test library"; }
