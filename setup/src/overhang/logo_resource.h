#pragma once
// The resource id of the logo picture (a 256 x 256 RGBA PNG) in the
// program; the resource script and the logo window both read it here.
#define ORVELLE_LOGO_RESOURCE 101
