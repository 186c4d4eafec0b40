#pragma once
// The registrations an applying CShellRegistration runs right after its
// registry script, in this order: the product's own file extension, MIME
// types and URL protocols, then its default-programs entry.

class CShellRegistration;

void RegisterProductTypes(const CShellRegistration& registration);
void RegisterDefaultPrograms(const CShellRegistration& registration);
