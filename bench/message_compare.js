#!/usr/bin/env node
// Whole messages: the message library and orvane-cli against the npm package
// iso_8583, in one run, the programs taking turns round after round:
//   1. the library reading and building the typical messages of
//      bench/messages (bench/message_time);
//   2. orvane-cli parse --json on a file of those messages, one a line;
//   3. iso_8583 unpacking the iso87ascii ones (getIsoJSON);
//   4. iso_8583 packing their fields (getRawMessage);
//   5. interoperation both ways on the fields where iso_8583's default
//      formats agree with iso87ascii.
// Run through bench/message_compare.sh, which builds the programs and pins
// everything to one CPU.
//
//   node bench/message_compare.js --cli PATH --time PATH [--rounds N] [--passes N]
//        [--count N] [--npm-count N] [--lines N]
'use strict';

const { execFileSync, spawnSync } = require('child_process');
const fs = require('fs');
const os = require('os');
const path = require('path');

function option(name, fallback) {
    const at = process.argv.indexOf(name);
    return at >= 0 && at + 1 < process.argv.length ? process.argv[at + 1] : fallback;
}

const cli = option('--cli', null);
const timer = option('--time', null);
// Another build's orvane-cli and message_time, timed in the same rounds.
const beforeCli = option('--before-cli', null);
const beforeTimer = option('--before-time', null);
const rounds = Number(option('--rounds', 7));
const passes = Number(option('--passes', 3));
const count = Number(option('--count', 400000));
const npmCount = Number(option('--npm-count', 20000));
const lineCount = Number(option('--lines', 1000000));
const buildLineCount = Math.max(1, Math.floor(lineCount / 5));
if (!cli || !timer) {
    console.error('usage: message_compare.js --cli PATH --time PATH [--rounds N] [--passes N] [--count N] ' +
        '[--npm-count N] [--lines N]');
    process.exit(2);
}

const Iso8583 = require('iso_8583');
const npmFormats = require('iso_8583/lib/formats');

// iso_8583 writes the bitmap as hex characters when field 1 is 'an', and
// reads it so with bitmapEncoding 'utf8'; without lenHeader it expects no
// length in front. That is the iso87ascii layout but for one thing: in that
// mode it always reads 32 digits, so a message it reads needs a secondary
// bitmap (bit 1 set), as every message it packs has.
const npmAscii = { 1: { ContentType: 'an', Label: 'Bitmap', LenType: 'fixed', MaxLen: 32 } };
const npmUnpackConfig = { lenHeader: false, bitmapEncoding: 'utf8' };
// Its b fields are raw bytes (MaxLen hex digits, half as many bytes) where
// iso87ascii writes hex characters; read as ans 16, field 52 is the same
// characters, which lets it read the typical messages whole.
const npmTyping = Object.assign({}, npmAscii,
    { 52: { ContentType: 'ans', Label: 'PIN data', LenType: 'fixed', MaxLen: 16 } });

const messagesDir = path.join(__dirname, 'messages');
const work = fs.mkdtempSync(path.join(os.tmpdir(), 'orvane-message-compare-'));
process.on('exit', () => fs.rmSync(work, { recursive: true, force: true }));

function readLines(file) {
    return fs.readFileSync(file, 'latin1').split('\n').filter((line) => line.length > 0);
}

// The same message with bit 1 set and a secondary bitmap of zeros.
function withSecondaryBitmap(text) {
    const first = (parseInt(text[4], 16) | 8).toString(16).toUpperCase();
    return text.slice(0, 4) + first + text.slice(5, 20) + '0'.repeat(16) + text.slice(20);
}

function parseJson(spec, lines) {
    const result = spawnSync(cli, ['parse', '--spec', spec, '--json', '--unmask'],
        { input: lines.map((line) => line + '\n').join(''), encoding: 'latin1', maxBuffer: 1 << 28 });
    if (result.status === 2) throw new Error(`orvane-cli parse: ${result.stderr}`);
    return result.stdout.split('\n').filter((line) => line.length > 0).map((line) => JSON.parse(line));
}

function median(values) {
    return quantile(values, 0.5);
}

// The nearest-rank quantile: a value that was measured.
function quantile(values, q) {
    const sorted = values.slice().sort((a, b) => a - b);
    return sorted[Math.min(sorted.length - 1, Math.max(0, Math.ceil(q * sorted.length) - 1))];
}

// Nanoseconds per message of one pass that goes round the messages.
function timePass(n, kinds, work) {
    const start = process.hrtime.bigint();
    let sink = 0;
    for (let i = 0; i < n; ++i) sink += work(i % kinds);
    const elapsed = Number(process.hrtime.bigint() - start);
    if (sink === -1) console.log('');
    return elapsed / n;
}

// ---------------------------------------------------------------- messages

const asciiMessages = readLines(path.join(messagesDir, 'iso87ascii.txt'));
const binaryMessages = readLines(path.join(messagesDir, 'iso87binary.txt'));
const asciiSecondary = asciiMessages.map(withSecondaryBitmap);
const asciiSecondaryFile = path.join(work, 'iso87ascii-secondary.txt');
fs.writeFileSync(asciiSecondaryFile, asciiSecondary.join('\n') + '\n', 'latin1');

const ours = parseJson('iso87ascii', asciiMessages);
const oursSecondary = parseJson('iso87ascii', asciiSecondary);
const npmFields = ours.map((parsed) => Object.assign({ 0: parsed.mti }, parsed.fields));
let precheckFailed = false;
function precheck(ok, what) {
    if (!ok) {
        console.log(`precheck FAILED: ${what}`);
        precheckFailed = true;
    }
}
ours.forEach((parsed, i) => {
    precheck(!parsed.error && parsed.warnings.length === 0, `orvane-cli reads message ${i + 1}: ` +
        JSON.stringify(parsed.error || parsed.warnings));
    precheck(JSON.stringify(oursSecondary[i].fields) === JSON.stringify(parsed.fields),
        `orvane-cli reads message ${i + 1} with a secondary bitmap of zeros to the same fields`);
    const unpacked = new Iso8583(undefined, npmTyping).getIsoJSON(Buffer.from(asciiSecondary[i], 'latin1'),
        npmUnpackConfig);
    precheck(JSON.stringify(unpacked) === JSON.stringify(npmFields[i]),
        `iso_8583 unpacks message ${i + 1} to the fields orvane-cli reads: ${JSON.stringify(unpacked)}`);
    const packed = new Iso8583(npmFields[i], npmTyping).getRawMessage();
    precheck(Buffer.isBuffer(packed) && packed.toString('latin1') === asciiSecondary[i],
        `iso_8583 packs message ${i + 1}'s fields to the same characters: ` +
        (Buffer.isBuffer(packed) ? packed.toString('latin1') : JSON.stringify(packed)));
});

// ---------------------------------------------------------------- speed

function repeatLines(messages, file, lines) {
    const block = messages.join('\n') + '\n';
    const fd = fs.openSync(file, 'w');
    const perBlock = messages.length;
    const chunk = block.repeat(Math.max(1, Math.floor(10000 / perBlock)));
    const chunkLines = Math.max(1, Math.floor(10000 / perBlock)) * perBlock;
    let written = 0;
    while (written + chunkLines <= lines) {
        fs.writeSync(fd, chunk, null, 'latin1');
        written += chunkLines;
    }
    for (let i = 0; written < lines; ++i, ++written) fs.writeSync(fd, messages[i % perBlock] + '\n', null, 'latin1');
    fs.closeSync(fd);
}
const hasBuild = spawnSync(cli, ['build', '--help'], { encoding: 'utf8' }).status === 0;
const cliInputs = [
    { spec: 'iso87binary', file: path.join(work, 'iso87binary-lines.txt'), messages: binaryMessages },
    { spec: 'iso87ascii', file: path.join(work, 'iso87ascii-lines.txt'), messages: asciiMessages },
];
for (const input of cliInputs) {
    repeatLines(input.messages, input.file, lineCount);
    // What build reads: the JSON lines parse --json --unmask writes of them; a
    // fifth as many, build being the slower.
    input.jsonFile = input.file.replace(/\.txt$/, '.json');
    if (hasBuild) repeatLines(parseJson(input.spec, input.messages).map((parsed) => JSON.stringify(parsed)), input.jsonFile,
        buildLineCount);
}

// Lines a second of one run of orvane-cli, standard output to /dev/null.
function timeCli(args, file, lines, program = cli) {
    const stdin = fs.openSync(file, 'r');
    const stdout = fs.openSync('/dev/null', 'w');
    const start = process.hrtime.bigint();
    const result = spawnSync(program, args, { stdio: [stdin, stdout, 'pipe'] });
    const elapsed = Number(process.hrtime.bigint() - start);
    fs.closeSync(stdin);
    fs.closeSync(stdout);
    if (result.status !== 0) throw new Error(`orvane-cli ${args.join(' ')} exited ${result.status}: ${result.stderr}`);
    return lines / (elapsed / 1e9);
}

const npmInput = asciiSecondary.map((text) => Buffer.from(text, 'latin1'));
const npmReader = new Iso8583(undefined, npmTyping);
const npmUnpack = (at) => Object.keys(npmReader.getIsoJSON(npmInput[at], npmUnpackConfig)).length;
const npmPack = (at) => new Iso8583(npmFields[at], npmTyping).getRawMessage().length;

const samples = {};
function add(name, value) {
    (samples[name] = samples[name] || []).push(value);
}
const loads = [];

// A pass of each first, so the JIT has compiled Node's side before it counts.
timePass(npmCount, npmInput.length, npmUnpack);
timePass(npmCount, npmInput.length, npmPack);
for (let round = 0; round < rounds; ++round) {
    loads.push(os.loadavg()[0]);
    const library = (program = timer, prefix = '') => {
        const output = execFileSync(program, [String(passes), String(count), 'iso87ascii',
            path.join(messagesDir, 'iso87ascii.txt'), 'iso87ascii', asciiSecondaryFile, 'iso87binary',
            path.join(messagesDir, 'iso87binary.txt')], { encoding: 'utf8' });
        const [ascii, secondary, binary] = output.trim().split('\n').map((line) => JSON.parse(line));
        for (const [name, result] of [['ascii', ascii], ['asciiSecondary', secondary], ['binary', binary]]) {
            result.read_ns.forEach((ns) => add(`${prefix}read ${name}`, 1e9 / ns));
            result.build_ns.forEach((ns) => add(`${prefix}build ${name}`, 1e9 / ns));
        }
    };
    const npm = () => {
        for (let p = 0; p < passes; ++p) {
            add('npm unpack', 1e9 / timePass(npmCount, npmInput.length, npmUnpack));
            add('npm pack', 1e9 / timePass(npmCount, npmInput.length, npmPack));
        }
    };
    // Every other round the other goes first, so neither always follows the CLI.
    if (round % 2 === 0) {
        library();
        npm();
    } else {
        npm();
        library();
    }
    // The other build in the same round, first and last by turns.
    if (beforeTimer && round % 2 === 0) library(beforeTimer, 'before ');
    for (const input of cliInputs) {
        const parse = ['parse', '--spec', input.spec, '--json'];
        if (beforeCli && round % 2 === 0) add(`before cli ${input.spec}`, timeCli(parse, input.file, lineCount, beforeCli));
        add(`cli ${input.spec}`, timeCli(parse, input.file, lineCount));
        if (beforeCli && round % 2 === 1) add(`before cli ${input.spec}`, timeCli(parse, input.file, lineCount, beforeCli));
        if (hasBuild) add(`cli build ${input.spec}`, timeCli(['build', '--spec', input.spec], input.jsonFile, buildLineCount));
    }
    if (beforeTimer && round % 2 === 1) library(beforeTimer, 'before ');
}

// ---------------------------------------------------------------- interoperation

// iso87ascii's fields 2-128 as orvane-cli defines them: type, length kind, and
// greatest length (digits for n, z and x+n, characters, bytes for b).
const iso87ascii = {};
[
    [2, 'n', 'LL', 19], [3, 'n', 'F', 6], [4, 'n', 'F', 12], [5, 'n', 'F', 12], [6, 'n', 'F', 12], [7, 'n', 'F', 10],
    [8, 'n', 'F', 8], [9, 'n', 'F', 8], [10, 'n', 'F', 8], [11, 'n', 'F', 6], [12, 'n', 'F', 6], [13, 'n', 'F', 4],
    [14, 'n', 'F', 4], [15, 'n', 'F', 4], [16, 'n', 'F', 4], [17, 'n', 'F', 4], [18, 'n', 'F', 4], [19, 'n', 'F', 3],
    [20, 'n', 'F', 3], [21, 'n', 'F', 3], [22, 'n', 'F', 3], [23, 'n', 'F', 3], [24, 'n', 'F', 3], [25, 'n', 'F', 2],
    [26, 'n', 'F', 2], [27, 'n', 'F', 1], [28, 'x+n', 'F', 8], [29, 'x+n', 'F', 8], [30, 'x+n', 'F', 8],
    [31, 'x+n', 'F', 8], [32, 'n', 'LL', 11], [33, 'n', 'LL', 11], [34, 'ns', 'LL', 28], [35, 'z', 'LL', 37],
    [36, 'z', 'LLL', 104], [37, 'an', 'F', 12], [38, 'an', 'F', 6], [39, 'an', 'F', 2], [40, 'an', 'F', 3],
    [41, 'ans', 'F', 8], [42, 'ans', 'F', 15], [43, 'ans', 'F', 40], [44, 'an', 'LL', 25], [45, 'an', 'LL', 76],
    [46, 'an', 'LLL', 999], [47, 'an', 'LLL', 999], [48, 'an', 'LLL', 999], [49, 'n', 'F', 3], [50, 'n', 'F', 3],
    [51, 'n', 'F', 3], [52, 'b', 'F', 8], [53, 'n', 'F', 16], [54, 'an', 'LLL', 120], [64, 'b', 'F', 8],
    [66, 'n', 'F', 1], [67, 'n', 'F', 2], [68, 'n', 'F', 3], [69, 'n', 'F', 3], [70, 'n', 'F', 3], [71, 'n', 'F', 4],
    [72, 'n', 'F', 4], [73, 'n', 'F', 6], [82, 'n', 'F', 12], [83, 'n', 'F', 12], [84, 'n', 'F', 12],
    [85, 'n', 'F', 12], [90, 'n', 'F', 42], [91, 'an', 'F', 1], [92, 'an', 'F', 2], [93, 'an', 'F', 5],
    [94, 'an', 'F', 7], [95, 'an', 'F', 42], [96, 'b', 'F', 8], [97, 'x+n', 'F', 16], [98, 'ans', 'F', 25],
    [99, 'n', 'LL', 11], [100, 'n', 'LL', 11], [101, 'ans', 'LL', 17], [102, 'ans', 'LL', 28],
    [103, 'ans', 'LL', 28], [104, 'ans', 'LLL', 100], [128, 'b', 'F', 8],
].forEach(([field, type, kind, max]) => { iso87ascii[field] = { type, kind, max }; });
for (let field = 55; field <= 63; ++field) iso87ascii[field] = { type: 'ans', kind: 'LLL', max: 999 };
for (let field = 74; field <= 81; ++field) iso87ascii[field] = { type: 'n', kind: 'F', max: 10 };
for (let field = 86; field <= 89; ++field) iso87ascii[field] = { type: 'n', kind: 'F', max: 16 };
for (let field = 105; field <= 127; ++field) iso87ascii[field] = { type: 'ans', kind: 'LLL', max: 999 };

const npmKind = { fixed: 'F', llvar: 'LL', lllvar: 'LLL', llllllvar: 'LLLLLL' };
// Characters on the wire in iso87ascii: b fields as two hex digits a byte,
// x+n with its sign.
const wireMax = (ours) => ours.type === 'b' ? 2 * ours.max : ours.type === 'x+n' ? ours.max + 1 : ours.max;
const describeOurs = (f) => `${f.type} ${f.kind === 'F' ? '' : f.kind + ' '}${f.max}${f.type === 'b' ? ' bytes (hex text)' : ''}`;
const describeNpm = (f) => `${f.ContentType} ${f.LenType} ${f.MaxLen}${f.MinLen > 1 ? ' (at least ' + f.MinLen + ')' : ''}`;

// agree: same layout and content; content: same layout, other letters, so
// a value both allow reads the same; differ: the layout differs.
function classify(field) {
    const ours = iso87ascii[field];
    const theirs = npmFormats[String(field)];
    if (field === 65) return { kind: 'differ', why: 'iso87ascii: a set bit 65 announces a tertiary bitmap; iso_8583: b fixed 1' };
    if (field === 127) return { kind: 'differ', why: `iso87ascii: ${describeOurs(ours)}; iso_8583: ${describeNpm(theirs)}, ` +
        'split into its own sub-fields' };
    const why = `iso87ascii: ${describeOurs(ours)}; iso_8583: ${describeNpm(theirs)}`;
    if (ours.type === 'b' || theirs.ContentType === 'b') {
        return { kind: 'differ', why: `${why}: iso_8583 writes b fields as raw bytes, MaxLen hex digits (` +
            `${theirs.MaxLen / 2} bytes), iso87ascii as hex text` };
    }
    if (npmKind[theirs.LenType] !== ours.kind) return { kind: 'differ', why: `${why}: another length kind` };
    if (theirs.MaxLen !== wireMax(ours)) {
        return { kind: 'differ', why: `${why}: ${ours.kind === 'F' ? 'another length' : 'another greatest length'}` };
    }
    if (theirs.MinLen > 1) return { kind: 'content', why: `${why}: iso_8583 also wants at least ${theirs.MinLen}` };
    if (theirs.ContentType !== ours.type) return { kind: 'content', why: `${why}: other characters allowed` };
    return { kind: 'agree', why };
}
const classes = {};
for (let field = 2; field <= 128; ++field) classes[field] = classify(field);
const comparable = Object.keys(classes).map(Number).filter((field) => classes[field].kind !== 'differ');

// A value of the field's greatest length (less a little for variable ones)
// in characters both sides' types allow.
function valueFor(field) {
    const ours = iso87ascii[field];
    const types = [ours.type, npmFormats[String(field)].ContentType];
    const length = ours.kind === 'F' ? ours.max : ours.max - (field % 3);
    let source = { z: '4761739001010119=2512201', ns: '0123456789', ans: 'Orvane test 0-9/*,.' }[ours.type];
    if (types.some((type) => type === 'n' || type === 'x+n')) source = '0123456789';
    else if (types.some((type) => type === 'an' || type === 'anp')) source = 'A1B2C3D4E5F6G7H8I9J0';
    const body = source.repeat(Math.ceil(length / source.length)).slice(0, length);
    return ours.type === 'x+n' ? 'C' + body : body;
}

const interopMessages = ours.map((parsed) => {
    const fields = {};
    for (const [field, value] of Object.entries(parsed.fields)) if (comparable.includes(Number(field))) fields[field] = value;
    // A secondary bitmap, which iso_8583 needs to read an ASCII bitmap.
    fields['100'] = '412345';
    return { mti: parsed.mti, fields };
});
for (const [mti, low, high] of [['0200', 2, 64], ['0800', 66, 128]]) {
    const fields = {};
    for (const field of comparable) if (field >= low && field <= high) fields[String(field)] = valueFor(field);
    if (!fields['100']) fields['100'] = '412345';
    interopMessages.push({ mti, fields });
}

const checks = [];
function check(what, ok, detail) {
    checks.push({ what, ok });
    console.log(`  ${ok ? 'pass' : 'FAIL'}  ${what}${ok || !detail ? '' : ': ' + detail}`);
}
function compareFields(label, sent, got) {
    let all = true;
    for (const [field, value] of Object.entries(sent.fields)) {
        const ok = got[field] === value;
        all = all && ok;
        if (!ok) check(`${label} field ${field}`, false, `sent ${JSON.stringify(value)}, read ${JSON.stringify(got[field])}`);
    }
    const extra = Object.keys(got).filter((field) => !(field in sent.fields));
    if (extra.length) check(`${label} no other fields`, false, `also read ${extra.join(', ')}`);
    const same = all && extra.length === 0;
    check(`${label}: ${same ? `${Object.keys(sent.fields).length} fields the same: ${Object.keys(sent.fields).join(' ')}`
        : 'not every field the same'}`, same);
}

// The printable ASCII characters iso_8583 refuses to pack in a field of the type.
function npmRefuses(type) {
    const field = { ans: 43, ns: 34, z: 35 }[type];
    let refused = '';
    for (let code = 0x20; code < 0x7f; ++code) {
        const value = String.fromCharCode(code).repeat(npmFormats[field].LenType === 'fixed' ? npmFormats[field].MaxLen : 1);
        if (!Buffer.isBuffer(new Iso8583({ 0: '0100', [field]: value }, npmAscii).getRawMessage())) refused += value[0];
    }
    return refused;
}

function interopBuiltHere() {
    console.log('(a) orvane-cli build --spec iso87ascii, read back by iso_8583 getIsoJSON:');
    if (!hasBuild) {
        console.log('  waiting: this orvane-cli has no build command yet');
        return;
    }
    const input = interopMessages.map((message) => JSON.stringify(message) + '\n').join('');
    const result = spawnSync(cli, ['build', '--spec', 'iso87ascii'], { input, encoding: 'latin1', maxBuffer: 1 << 26 });
    const built = result.stdout.split('\n').filter((line) => line.length > 0);
    check('orvane-cli build exits 0 and writes one line a message', result.status === 0 &&
        built.length === interopMessages.length, `status ${result.status}, ${built.length} lines, ${result.stderr}`);
    interopMessages.forEach((message, i) => {
        if (built[i] === undefined) return;
        const unpacked = new Iso8583().getIsoJSON(Buffer.from(built[i], 'latin1'), npmUnpackConfig);
        const label = `message ${i + 1} (${message.mti})`;
        if (unpacked.error) {
            check(label, false, unpacked.error);
            return;
        }
        check(`${label} mti`, unpacked['0'] === message.mti, unpacked['0']);
        const got = Object.assign({}, unpacked);
        delete got['0'];
        compareFields(label, message, got);
    });
    const first = interopMessages[0];
    const byArguments = spawnSync(cli, ['build', '--spec', 'iso87ascii', `mti=${first.mti}`,
        ...Object.entries(first.fields).map(([field, value]) => `${field}=${value}`)], { encoding: 'latin1' });
    check('message 1 built from FIELD=VALUE arguments is the line built from its JSON',
        byArguments.status === 0 && byArguments.stdout === built[0] + '\n', byArguments.stdout + byArguments.stderr);
    // What happens without field 100: a primary bitmap alone. Shown, not counted.
    const primaryOnly = Object.assign({}, interopMessages[0].fields);
    delete primaryOnly['100'];
    const one = spawnSync(cli, ['build', '--spec', 'iso87ascii'],
        { input: JSON.stringify({ mti: interopMessages[0].mti, fields: primaryOnly }) + '\n', encoding: 'latin1' });
    const unpacked = new Iso8583().getIsoJSON(Buffer.from(one.stdout.trim(), 'latin1'), npmUnpackConfig);
    console.log(`  note  message 1 without field 100 (primary bitmap only): iso_8583 reads field 2 as ` +
        `${JSON.stringify(unpacked['2'])} (not counted: it always takes 32 bitmap digits)`);
}

function interopPackedThere() {
    console.log('(b) iso_8583 getRawMessage (field 1 as an: ASCII bitmap), read by orvane-cli parse --spec iso87ascii:');
    const packed = interopMessages.map((message) => new Iso8583(Object.assign({ 0: message.mti }, message.fields),
        npmAscii).getRawMessage());
    const lines = [];
    packed.forEach((buffer, i) => {
        const ok = Buffer.isBuffer(buffer);
        if (!ok) check(`iso_8583 packs message ${i + 1}`, false, JSON.stringify(buffer));
        lines.push(ok ? buffer.toString('latin1') : '');
    });
    const parsed = parseJson('iso87ascii', lines);
    interopMessages.forEach((message, i) => {
        if (!Buffer.isBuffer(packed[i])) return;
        const label = `message ${i + 1} (${message.mti})`;
        const got = parsed[i] || {};
        check(`${label} read whole`, !got.error, got.error);
        if (got.warnings && got.warnings.length) console.log(`  note  ${label} warnings: ${JSON.stringify(got.warnings)}`);
        check(`${label} mti`, got.mti === message.mti, got.mti);
        compareFields(label, message, got.fields || {});
    });
}

// ---------------------------------------------------------------- report

const rate = (value) => value >= 1e6 ? `${(value / 1e6).toFixed(2)} M/s` : `${(value / 1e3).toFixed(1)} k/s`;
const row = (name, values) => `  ${name.padEnd(58)}${rate(median(values)).padStart(11)}${rate(quantile(values, 0.1)).padStart(11)}`;
const loadText = loads.map((load) => load.toFixed(2)).join(' ');

console.log(`Node.js ${process.version}, iso_8583 ${require('iso_8583/package.json').version}; ${rounds} rounds, ` +
    `load average (1 min) at each round: ${loadText}`);
console.log('Messages per second: the median, and p90 (the rate 90 % of samples reached, i.e. the slow end);');
console.log(`library: ${passes} passes of ${count} messages a round; iso_8583: ${passes} of ${npmCount}; ` +
    `orvane-cli: ${lineCount} lines a run (build: ${buildLineCount})`);
console.log('');
console.log(`  ${'what'.padEnd(58)}${'median'.padStart(11)}${'p90'.padStart(11)}`);
console.log('1. library, one core (goal: 1 M/s each)');
console.log(row('read iso87ascii (bench/messages/iso87ascii.txt)', samples['read ascii']));
console.log(row('read iso87binary', samples['read binary']));
console.log(row('build iso87ascii', samples['build ascii']));
console.log(row('build iso87binary', samples['build binary']));
console.log(row('read iso87ascii, with a secondary bitmap (what npm reads)', samples['read asciiSecondary']));
console.log(row('build the same fields', samples['build asciiSecondary']));
console.log('2. orvane-cli parse --json < lines > /dev/null (goal: 300 k/s)');
for (const input of cliInputs) console.log(row(`--spec ${input.spec}${input.spec === 'iso87binary' ? ' (hex dumps)' : ' (text)'}`, samples[`cli ${input.spec}`]));
if (hasBuild) {
    console.log('   and orvane-cli build < the JSON lines parse --json --unmask writes > /dev/null (no goal)');
    for (const input of cliInputs) console.log(row(`--spec ${input.spec}`, samples[`cli build ${input.spec}`]));
}
console.log('3. iso_8583 getIsoJSON of the iso87ascii messages (goal: 30x slower than the library)');
console.log(row('unpack, bitmapEncoding utf8, no lenHeader, field 52 as ans 16', samples['npm unpack']));
console.log('4. iso_8583 getRawMessage of their fields (goal: the library 30x faster)');
console.log(row('pack, field 1 as an (ASCII bitmap), field 52 as ans 16', samples['npm pack']));
if (beforeTimer || beforeCli) {
    console.log('5. this build against --before-cli/--before-time, in the same rounds: medians and this / before');
    const compared = [['read ascii', 'read iso87ascii'], ['read binary', 'read iso87binary'],
        ['build ascii', 'build iso87ascii'], ['build binary', 'build iso87binary']]
        .filter(() => beforeTimer)
        .concat(beforeCli ? cliInputs.map((input) => [`cli ${input.spec}`, `orvane-cli parse --json, ${input.spec}`]) : []);
    for (const [key, name] of compared) {
        const now = median(samples[key]);
        const before = median(samples[`before ${key}`]);
        console.log(`  ${name.padEnd(40)}${rate(before).padStart(11)}${rate(now).padStart(11)}${(now / before).toFixed(2).padStart(8)}x`);
    }
}
const readRatio = median(samples['read asciiSecondary']) / median(samples['npm unpack']);
const buildRatio = median(samples['build asciiSecondary']) / median(samples['npm pack']);
const p90Read = quantile(samples['read asciiSecondary'], 0.1) / quantile(samples['npm unpack'], 0.1);
const p90Build = quantile(samples['build asciiSecondary'], 0.1) / quantile(samples['npm pack'], 0.1);
console.log('');
console.log(`library read / iso_8583 unpack, same messages: ${readRatio.toFixed(1)}x (medians), ${p90Read.toFixed(1)}x (p90s)`);
console.log(`library build / iso_8583 pack, same fields:   ${buildRatio.toFixed(1)}x (medians), ${p90Build.toFixed(1)}x (p90s)`);
console.log('The messages iso_8583 times are bench/messages/iso87ascii.txt with bit 1 set and a secondary bitmap of');
console.log('zeros (it reads no other ASCII bitmap) and field 52 given to it as ans 16 (its b 16 reads 8 raw bytes).');
console.log(precheckFailed ? 'A precheck failed (above): the two sides did not do the same work.'
    : 'Checked first: iso_8583 unpacks them to the fields orvane-cli parse reads, and packs those fields to the same characters.');

console.log('');
console.log('5. Interoperation, iso87ascii and iso_8583 default formats (field 1 as an for the ASCII bitmap)');
for (const kind of ['agree', 'content', 'differ']) {
    const fields = Object.keys(classes).filter((field) => classes[field].kind === kind);
    console.log({ agree: 'Fields that agree', content: 'Fields of the same layout, other characters (checked with values both allow)',
        differ: 'Fields that differ (not checked)' }[kind] + ` (${fields.length}): ${fields.join(' ')}`);
    if (kind !== 'agree') for (const field of fields) console.log(`  ${String(field).padStart(3)}  ${classes[field].why}`);
}
console.log(`iso_8583 refuses in ans: ${JSON.stringify(npmRefuses('ans'))}; in ns: ${JSON.stringify(npmRefuses('ns'))}; ` +
    `in z: ${JSON.stringify(npmRefuses('z'))}; so the values avoid # @ and \\.`);
console.log(`Messages: the ${ours.length} typical ones with the fields above (and 100, for a secondary bitmap), ` +
    'and two of every such field at its greatest length (2-64, 65-128).');
interopBuiltHere();
interopPackedThere();
const goal = (what, value, target, unit) => console.log(`  ${value >= target ? 'met    ' : 'NOT met'}  ${what}: ` +
    `${unit === 'x' ? value.toFixed(1) + 'x' : rate(value)} (goal ${unit === 'x' ? target + 'x' : rate(target)})`);
console.log('');
console.log('Goals, by the medians:');
goal('library read, iso87ascii', median(samples['read ascii']), 1e6);
goal('library read, iso87binary', median(samples['read binary']), 1e6);
goal('library build, iso87ascii', median(samples['build ascii']), 1e6);
goal('library build, iso87binary', median(samples['build binary']), 1e6);
for (const input of cliInputs) goal(`orvane-cli parse --json, ${input.spec}`, median(samples[`cli ${input.spec}`]), 3e5);
goal('library read / iso_8583 unpack', readRatio, 30, 'x');
goal('library build / iso_8583 pack', buildRatio, 30, 'x');
const failed = checks.filter((c) => !c.ok).length;
console.log('');
console.log(`interoperation: ${checks.length - failed} passed, ${failed} failed${precheckFailed ? '; a precheck failed' : ''}`);
process.exitCode = failed || precheckFailed ? 1 : 0;
