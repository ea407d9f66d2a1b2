#!/usr/bin/env python3
"""Drives brimtal-simbench with pyvisa through raw SCPI sockets, as any VISA program would:
starts the bench on free loopback ports, talks to every instrument through its
TCPIP::127.0.0.1::<port>::SOCKET resource, and checks that the readings follow the bench."""
import re
import subprocess
import sys

import pyvisa


def start_bench(simbench):
    bench = subprocess.Popen([simbench, "--base-port", "0", "--seed", "3"],
                             stdout=subprocess.PIPE, text=True)
    resources = {}
    for line in bench.stdout:
        if line.strip() == "ready":
            return bench, resources
        match = re.match(r"GPIB (\d+)\s+(TCPIP::\S+::SOCKET)", line)
        if match:
            resources[int(match.group(1))] = match.group(2)
    bench.wait(10)
    sys.exit("brimtal-simbench stopped before it was ready (exit %s)" % bench.returncode)


def check(condition, what):
    if not condition:
        sys.exit("FAILED: " + what)


def main(simbench):
    bench, resources = start_bench(simbench)
    check(sorted(resources) == [9, 10, 13, 18, 19], "instruments served: %s" % sorted(resources))
    manager = pyvisa.ResourceManager("@py")
    opened = []

    def instrument(address):
        handle = manager.open_resource(resources[address], read_termination="\n",
                                       write_termination="\n", timeout=5000)
        opened.append(handle)
        return handle

    try:
        generator, meter, analyser = instrument(19), instrument(13), instrument(18)
        band1, control = instrument(10), instrument(9)
        check(generator.query("*IDN?").startswith("Brimtal,SimGen"), "generator identity")

        # The amplifier pair on band 1, the generator at 80 MHz and -40 dBm.
        for unit, command in [(band1, "8"), (control, "FA"), (control, "L3"), (control, "M1"),
                              (control, "ON"), (control, "B1"), (band1, "9"), (control, "ZA")]:
            unit.write(command)
        for command in ["*RST", "FREQ 80.0 MHZ", "POW -40.0 DBM", "OUTP ON"]:
            generator.write(command)
        check(float(generator.query("FREQ?")) == 80e6, "generator frequency")
        check(generator.query("SYST:ERR?") == '+0,"No error"', "no generator errors")

        # About 10 dBm forward, the coupler port 40 dB down: about a microwatt.
        for command in ["*RST", "INST:NSEL 1", "FREQ 80.0 MHZ", "INIT1"]:
            meter.write(command)
        forward_port = float(meter.query("FETC1?"))
        check(1e-7 < forward_port < 1e-5, "forward port reading %g W" % forward_port)

        # The fixture's voltage, 15.6 dB down and through the cable: a few dBm at the receiver.
        for command in ["*RST", "INIT:CONT OFF", "FREQ:CENT 80.0 MHZ", "DISP:TRAC:Y:RLEV 10 DBM",
                        "INIT"]:
            analyser.write(command)
        receiver = float(analyser.query("CALC:MARK:Y?"))
        check(-10.0 < receiver < 5.0, "receiver reading %g dBm" % receiver)

        generator.write("OUTP OFF")
        check(float(meter.query("READ1?")) < 1e-9, "no power with RF off")
        generator.write("FROB 3")
        check(generator.query("SYST:ERR?").startswith("-113,"), "unknown command reported")
    finally:
        for handle in opened:
            handle.close()
        manager.close()
        bench.terminate()
        bench.wait(10)
    check(bench.returncode == 0, "brimtal-simbench ended with %s" % bench.returncode)
    print("pyvisa drove the simulated bench: forward port %.3g W, receiver %.2f dBm"
          % (forward_port, receiver))


if __name__ == "__main__":
    main(sys.argv[1])
