#include <cstdio>
int main()
{
    std::puts("lumo-mms-server: not built yet");
    return 1;
}
