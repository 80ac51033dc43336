# System libraries of the Windows platform layer: WinSock (name lookup), the
# IP helper (ICMP echo).
target_link_libraries(tarnwick_platform PUBLIC ws2_32 iphlpapi)
