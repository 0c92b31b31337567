// The operations dashboard's entry point. The dashboard window is not built yet: the program starts the
// framework's application object and reports that.
#include <QCoreApplication>
#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    std::printf("Quenlark: the plant operations window is not built yet.\n");
    return 0;
}
