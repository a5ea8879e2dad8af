#!/usr/bin/env python3
"""Mutation testing of the engine: how many small planted faults does the suite catch?

    tools/mutar.py --arbol DIR --build DIR --semilla N --cuantos K
                   [--fuentes 'engine/*.cpp' ...] [--pruebas REGEX] [--excluir REGEX]
                   [--tiempo S] [--equivalentes FILE] [--resultado FILE] [-j N]
                   [--filtro REGEX] [--sobrevivientes JSON] [--claves FILE] [--parte K/N] [--listar]

DIR is a source tree and BUILD a configured build directory of it. The tool
lists every mutant of the chosen sources (operators, constants, dropped
statements, off-by-one subscripts; never in comments, strings or preprocessor
lines), takes the K of them that the seed ranks first (the same seed gives
the same mutants, and nearly the same after an edit elsewhere), and for each one: writes the mutated file, rebuilds the targets the
chosen tests need, runs those of the tests whose programs came out different
(and every test that runs something else), with ctest --stop-on-failure and
a time limit of S per test, and puts the file back byte for byte, whatever
happens (the original is also kept in BUILD/mutar.pendiente until then, so
even a killed run is repaired by the next one).

A mutant is killed (a test failed), caught by time-out (counted as killed),
stillborn (does not build), identical (builds the very same programs) or
survives; stillborn and identical ones are not counted. The JSON result lists
each one with the tests that caught it. Survivors listed in the equivalents
file (default tools/mutantes_equivalentes.txt: file, mutation and line text
as the tool prints them, then a reason, separated by tabs) change nothing
observable and are not counted. Exit status: 0 when no other mutant survives,
1 when one does, 2 when the unmutated tree does not build or pass.
"""
import argparse, hashlib, json, os, re, signal, subprocess, sys, time

from mutantes import Elegir

EXCLUIR = r'^soak_|^app_(TrazaTexturas|TrazaWire|Entrada|SinPantalla)$'

# ---------------------------------------------------------------- running

class Interrumpido(Exception):
    pass


def AlInterrumpir(signo, marco):
    raise Interrumpido('signal %d' % signo)


def Ejecutar(orden, limite, entorno=None):
    """Runs orden in a process group of its own; on time-out kills the group.
    Returns (exit status or None on time-out, output)."""
    p = subprocess.Popen(orden, env=entorno, stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                         start_new_session=True, text=True, errors='replace')
    try:
        salida, _ = p.communicate(timeout=limite)
        return p.returncode, salida
    except (subprocess.TimeoutExpired, Interrumpido) as e:
        os.killpg(p.pid, signal.SIGKILL)
        salida, _ = p.communicate()
        if isinstance(e, Interrumpido):
            raise
        return None, salida


def Pruebas(args):
    """The chosen tests, as (number, name, programs of the build directory on
    its command line), and the targets that build them (None: everything,
    when some test names no program of the build)."""
    orden = ['ctest', '--test-dir', args.build, '--show-only=json-v1']
    todas = json.loads(subprocess.run(orden, capture_output=True, text=True, check=True).stdout)['tests']
    pruebas, objetivos, raiz = [], set(), os.path.realpath(args.build)
    for numero, p in enumerate(todas, 1):
        if re.search(args.excluir, p['name']) or not re.search(args.pruebas, p['name']):
            continue
        propios = {os.path.realpath(a) for a in p.get('command', [])
                   if os.path.realpath(a).startswith(raiz + os.sep) and os.access(a, os.X_OK)}
        pruebas.append((numero, p['name'], propios))
        objetivos = None if objetivos is None or not propios else objetivos | {os.path.basename(a) for a in propios}
    return pruebas, sorted(objetivos) if objetivos is not None else None


def Huellas(build, antes=None):
    """The hash of every ELF file of the build directory, keyed by path with
    its size and time; files unchanged since `antes` are not read again."""
    huellas = {}
    for dirpath, dirnames, archivos in os.walk(build):
        dirnames[:] = [d for d in dirnames if d != 'CMakeFiles']
        for nombre in archivos:
            ruta = os.path.join(dirpath, nombre)
            st = os.lstat(ruta)
            if not (st.st_mode & 0o111) or os.path.islink(ruta):
                continue
            marca = (st.st_size, st.st_mtime_ns)
            if antes and ruta in antes and antes[ruta][0] == marca:
                huellas[ruta] = antes[ruta]
                continue
            with open(ruta, 'rb') as f:
                datos = f.read()
            if datos[:4] == b'\x7fELF':
                huellas[ruta] = (marca, hashlib.sha256(datos).digest())
    return huellas


def Afectadas(pruebas, limpias, ahora):
    """The tests a rebuilt tree can fail: those whose own program changed,
    and all that run something else. Every test when a program that no test
    names changed (one a test may start itself)."""
    cambiados = {os.path.realpath(r) for r, (_, h) in ahora.items() if r not in limpias or limpias[r][1] != h}
    propios = set().union(*(p[2] for p in pruebas)) if pruebas else set()
    if cambiados - propios:
        return pruebas, cambiados
    return [p for p in pruebas if not p[2] or p[2] & cambiados], cambiados


def Construir(args, objetivos):
    orden = ['cmake', '--build', args.build, '-j', str(args.j)]
    for o in objetivos or []:
        orden += ['--target', o]
    return Ejecutar(orden, args.tiempo_build)


def Probar(args, pruebas):
    numeros = ','.join(str(p[0]) for p in pruebas)
    orden = ['ctest', '--test-dir', args.build, '-j', str(args.j), '--stop-on-failure',
             '--timeout', str(args.tiempo), '-I', '0,0,0,' + numeros]
    # Temporary files in a folder of this build's own, so that runs on two
    # copies of the tree at once do not share them.
    temporal = os.path.join(args.build, 'mutar-tmp')
    os.makedirs(temporal, exist_ok=True)
    entorno = dict(os.environ, TMPDIR=temporal, TEST_TMPDIR=temporal)
    estado, salida = Ejecutar(orden, args.tiempo * 2 + 30, entorno)
    caidas = re.findall(r'^\s*\d+ - (\S+) \(', salida.split('The following tests FAILED:')[-1], re.M) \
        if 'The following tests FAILED:' in salida else []
    return estado, caidas, salida


def Escribir(ruta, datos):
    with open(ruta, 'wb') as f:
        f.write(datos)


def Reparar(pendiente):
    """Puts back a file a previous run left mutated."""
    if os.path.exists(pendiente):
        with open(pendiente, 'rb') as f:
            ruta, _, datos = f.read().partition(b'\n')
        Escribir(ruta.decode(), datos)
        os.remove(pendiente)
        print('mutar: restored %s, left mutated by an interrupted run' % ruta.decode(), file=sys.stderr)


def ProbarMutante(args, m, plan, pendiente):
    ruta = os.path.join(args.arbol, m['archivo'])
    with open(ruta, 'rb') as f:
        original = f.read()
    texto = original.decode('utf-8')
    mutado = texto[:m['offset']] + m['nuevo'] + texto[m['offset'] + m['largo']:]
    huella = hashlib.sha256(original).hexdigest()
    Escribir(pendiente, ruta.encode() + b'\n' + original)
    t0 = time.time()
    try:
        Escribir(ruta, mutado.encode('utf-8'))
        estado, salida = Construir(args, plan['objetivos'])
        if estado != 0:
            m['estado'], m['detalle'] = 'stillborn', salida[-2000:]
            return
        plan['huellas'] = Huellas(args.build, plan['huellas'])
        afectadas, cambiados = Afectadas(plan['pruebas'], plan['limpias'], plan['huellas'])
        m['programas'] = sorted(os.path.relpath(r, args.build) for r in cambiados)
        if not cambiados:
            m['estado'] = 'identical'   # the same programs as the clean tree: nothing can tell them apart
        elif not afectadas:
            m['estado'] = 'survived'
        else:
            estado, caidas, salida = Probar(args, afectadas)
            if estado is None:
                m['estado'] = 'timeout'
            elif estado != 0:
                m['estado'], m['pruebas'] = 'killed', caidas
                if not caidas:
                    m['detalle'] = salida[-2000:]
            else:
                m['estado'] = 'survived'
    finally:
        Escribir(ruta, original)
        with open(ruta, 'rb') as f:
            if hashlib.sha256(f.read()).hexdigest() != huella:
                sys.exit('mutar: %s could not be restored; the original is in %s' % (ruta, pendiente))
        os.remove(pendiente)
        m['segundos'] = round(time.time() - t0, 1)


def LeerEquivalentes(ruta, campos_minimos=4):
    """Key -> reason, from a file of lines: file, mutation, line, reason (tabs)."""
    equivalentes = {}
    if ruta and os.path.exists(ruta):
        with open(ruta, encoding='utf-8') as f:
            for linea in f:
                campos = linea.rstrip('\n').split('\t')
                if len(campos) >= campos_minimos and not linea.startswith('#'):
                    equivalentes['\t'.join(campos[:3])] = campos[3] if len(campos) > 3 else ''
    return equivalentes


def main():
    aqui = os.path.dirname(os.path.abspath(__file__))
    ap = argparse.ArgumentParser(description=__doc__.split('\n')[0])
    ap.add_argument('--arbol', required=True, help='source tree to mutate')
    ap.add_argument('--build', required=True, help='configured build directory of that tree')
    ap.add_argument('--semilla', type=int, required=True)
    ap.add_argument('--cuantos', type=int, required=True, help='mutants to draw')
    ap.add_argument('--fuentes', nargs='+', default=['engine/**/*.cpp', 'engine/**/*.h'], help='globs, relative to the tree')
    ap.add_argument('--pruebas', default='', help='ctest -R: tests to run (default all)')
    ap.add_argument('--excluir', default=EXCLUIR, help='ctest -E: tests left out (default: the soak test and the real programs under Xvfb)')
    ap.add_argument('--tiempo', type=int, default=0, help='seconds per test run (default 3x the clean run, at least 30)')
    ap.add_argument('--tiempo-build', type=int, default=900)
    ap.add_argument('--equivalentes', default=os.path.join(aqui, 'mutantes_equivalentes.txt'))
    ap.add_argument('--resultado', default='', help='JSON result (default BUILD/mutantes.json)')
    ap.add_argument('-j', type=int, default=2)
    ap.add_argument('--filtro', default='', help='only mutants whose key (file, mutation, line) matches this regex')
    ap.add_argument('--sobrevivientes', default='', help='only the mutants that survived in this earlier JSON result')
    ap.add_argument('--claves', default='', help='only the mutants listed in this file (as in the equivalents file)')
    ap.add_argument('--parte', default='1/1', help='K/N: the K-th of N interleaved shares of the sample, for '
                    'running it on N copies of the tree')
    ap.add_argument('--listar', action='store_true', help='only print the drawn mutants')
    args = ap.parse_args()
    args.arbol, args.build = os.path.abspath(args.arbol), os.path.abspath(args.build)
    for s in (signal.SIGINT, signal.SIGTERM, signal.SIGHUP):
        signal.signal(s, AlInterrumpir)
    pendiente = os.path.join(args.build, 'mutar.pendiente')
    Reparar(pendiente)

    solo = None
    if args.sobrevivientes:
        with open(args.sobrevivientes, encoding='utf-8') as f:
            solo = {m['clave'] for m in json.load(f)['mutantes'] if m['estado'] == 'survived'}
    if args.claves:
        solo = set(LeerEquivalentes(args.claves, 3))
    parte = tuple(int(x) for x in args.parte.split('/'))
    elegidos, total = Elegir(args.arbol, args.fuentes, args.semilla, args.cuantos, args.filtro, solo, parte)
    if args.listar:
        for m in elegidos:
            print('%s:%d\t%s' % (m['archivo'], m['linea'], m['clave'].split('\t', 1)[1]))
        return 0
    estado, salida = Construir(args, None)   # first everything, so that ctest knows every test
    if estado == 0:
        pruebas, objetivos = Pruebas(args)
        print('mutar: %d of %d mutants, seed %d; %d tests; building %s' % (
            len(elegidos), total, args.semilla, len(pruebas), ' '.join(objetivos) if objetivos else 'everything'),
            flush=True)
        t0 = time.time()
        limite, args.tiempo = args.tiempo, args.tiempo or 600
        estado, caidas, salida = Probar(args, pruebas)
        args.tiempo = limite or max(30, int(3 * (time.time() - t0)))
        plan = {'objetivos': objetivos, 'pruebas': pruebas, 'huellas': Huellas(args.build)}
        plan['limpias'] = plan['huellas']
    if estado != 0:
        print(salida[-3000:], file=sys.stderr)
        print('mutar: the unmutated tree does not build or pass its tests', file=sys.stderr)
        return 2
    equivalentes = LeerEquivalentes(args.equivalentes)
    inicio = time.time()
    try:
        for i, m in enumerate(elegidos):
            ProbarMutante(args, m, plan, pendiente)
            m['equivalente'] = equivalentes.get(m['clave'], '') if m['estado'] == 'survived' else ''
            print('%3d/%d %-10s %5.1fs %s:%d  %s' % (i + 1, len(elegidos), m['estado'], m['segundos'],
                  m['archivo'], m['linea'], m['mutacion']), flush=True)
            Guardar(args, elegidos[:i + 1], total, time.time() - inicio)
    except Interrumpido as e:
        print('mutar: interrupted (%s); every file is restored' % e, file=sys.stderr)
        return 130
    finally:
        Construir(args, plan['objetivos'])  # leave the build matching the restored sources
    return Informar(args, elegidos, total, time.time() - inicio)


def Guardar(args, elegidos, total, segundos):
    """Writes the JSON result (after every mutant, so an interrupted run keeps what it did)."""
    cuenta = {e: sum(m['estado'] == e for m in elegidos)
              for e in ('killed', 'timeout', 'survived', 'stillborn', 'identical')}
    equivalentes = [m for m in elegidos if m['estado'] == 'survived' and m['equivalente']]
    vivos = [m for m in elegidos if m['estado'] == 'survived' and not m['equivalente']]
    muertos = cuenta['killed'] + cuenta['timeout']
    puntuacion = 100.0 * muertos / (muertos + len(vivos)) if muertos + len(vivos) else 100.0
    resumen = dict(cuenta, equivalentes=len(equivalentes), puntuacion=round(puntuacion, 1), segundos=round(segundos),
                   semilla=args.semilla, sorteados=len(elegidos), posibles=total, fuentes=args.fuentes,
                   pruebas=args.pruebas, excluir=args.excluir, tiempo=args.tiempo, parte=args.parte)
    ruta = args.resultado or os.path.join(args.build, 'mutantes.json')
    with open(ruta + '.nuevo', 'w', encoding='utf-8') as f:
        json.dump({'resumen': resumen, 'mutantes': elegidos}, f, indent=1, ensure_ascii=False)
    os.replace(ruta + '.nuevo', ruta)
    return cuenta, equivalentes, vivos, puntuacion, ruta


def Informar(args, elegidos, total, segundos):
    cuenta, equivalentes, vivos, puntuacion, ruta = Guardar(args, elegidos, total, segundos)
    print('\n%-28s %5s' % ('mutants drawn', len(elegidos)))
    for nombre, n in (('killed', cuenta['killed']), ('caught by time-out', cuenta['timeout']),
                      ('stillborn (do not build)', cuenta['stillborn']),
                      ('identical programs', cuenta['identical']), ('survived, equivalent', len(equivalentes)),
                      ('survived', len(vivos))):
        print('%-28s %5d' % (nombre, n))
    print('%-28s %5.1f %%   (killed / (killed + survived, not equivalent))' % ('score', puntuacion))
    print('%-28s %5d s   result: %s' % ('time', segundos, ruta))
    if vivos:
        print('\nSurvivors (add to %s with a reason, tab-separated, only if equivalent):' % args.equivalentes)
        for m in vivos:
            print('%s\t<reason>' % m['clave'])
    return 1 if vivos else 0


if __name__ == '__main__':
    sys.exit(main())
