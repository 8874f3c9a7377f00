// Placeholder entry.
int main() { return 0; }
