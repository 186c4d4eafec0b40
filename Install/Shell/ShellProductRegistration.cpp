#include "ShellProductRegistration.h"

#include "CShellRegistration.h"

// Not written yet: these need the association primitives and the file
// association catalogue, which come with the association work. Until then an
// applying registration writes only its registry script.
void RegisterProductTypes(const CShellRegistration&) {}

void RegisterDefaultPrograms(const CShellRegistration&) {}
