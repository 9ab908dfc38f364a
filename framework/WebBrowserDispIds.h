// Dispatch ids of the system's web-browser control: the properties the units
// read and write, and the events of DWebBrowserEvents2 they sink. Free of
// Windows headers, so that the scripted control of the tests shares them.
#pragma once

namespace velfw {

constexpr long DISPID_WB_APPLICATION = 200;
constexpr long DISPID_WB_DOCUMENT = 203;
constexpr long DISPID_WB_LOCATIONURL = 211;
constexpr long DISPID_WB_VISIBLE = 402;
constexpr long DISPID_WB_READYSTATE = -525;

constexpr long DISPID_WB_BEFORENAVIGATE2 = 250;
constexpr long DISPID_WB_NEWWINDOW2 = 251;
constexpr long DISPID_WB_NAVIGATECOMPLETE2 = 252;
constexpr long DISPID_WB_DOCUMENTCOMPLETE = 259;
constexpr long DISPID_WB_NAVIGATEERROR = 271;

// The download-control ambient property the control asks its container for.
constexpr long DISPID_AMBIENT_DLCONTROL_ID = -5512;

}  // namespace velfw
