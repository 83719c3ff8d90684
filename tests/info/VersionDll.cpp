// The test DLLs carry nothing but their version resources; they are read,
// never loaded.
