/* A DLL that carries nothing but (optionally) a version resource. */
int VersionProbeMarker = 1;
