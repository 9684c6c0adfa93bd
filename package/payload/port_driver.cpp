// XERB5LP.SYS, the image of the port-driver service "OndrixM4". A PE image with a version
// resource and nothing to drive: its entry point refuses to load.
typedef long NTSTATUS;

extern "C" NTSTATUS __stdcall DriverEntry(void*, void*)
{
    return static_cast<NTSTATUS>(0xC00000BBL);  // STATUS_NOT_SUPPORTED
}
