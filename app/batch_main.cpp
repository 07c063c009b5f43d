#include <cstdio>

int main()
{
    std::fputs("pluvora-batch: not ready\n", stderr);
    return 2;
}
