#include <cstdio>

int main() {
    std::fputs("Dormio’s window isn’t built yet.\n", stderr);
    return 1;
}
