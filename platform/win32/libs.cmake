# System libraries of the Windows platform layer: WinSock (name lookup), the
# IP helper (ICMP echo), WinHTTP (web rows), COM and the accessibility interface (pressing dialog buttons).
target_link_libraries(tarnwick_platform PUBLIC ws2_32 iphlpapi winhttp ole32 oleaut32 oleacc uuid)
