// The class and interface ids the platform headers declare, defined here
// once for this library.
#include <initguid.h>

#include <windows.h>
#include <ole2.h>
#include <ocidl.h>
#include <docobj.h>
#include <exdisp.h>
#include <mshtml.h>
#include <mshtmhst.h>
