// The benchmark's client: it ends at once, whatever its command line, so a
// timed run is the process round trip plus the plug-in's own work and
// nothing of a client's.
int main()
{
    return 0;
}
